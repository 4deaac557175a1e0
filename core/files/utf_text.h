#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// The log holds its texts as UTF-8, but a text read from a file may carry bytes
// that are not; the spreadsheet formats declare their encoding, so each such
// byte becomes U+FFFD rather than an undecodable file.
std::u16string utf16_from_utf8(std::string_view text);
void append_valid_utf8(std::string& out, std::string_view text);

}  // namespace tarvo
