#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// The text of a file as UTF-8, for readers of files that may come from another
// system. A byte-order mark decides the encoding (UTF-16 LE, UTF-16 BE, UTF-8);
// without one the bytes are taken as UTF-8 when they are valid UTF-8 and as
// GB18030 otherwise, which covers files saved on Chinese Windows in its legacy
// code page (and plain ASCII either way). A NUL character ends the text. Sequences that
// do not decode become U+FFFD, so the result is always valid UTF-8.
// The bytes are taken over, so text that is already UTF-8 is not copied.
std::string decode_file_text(std::string bytes);

// True when every byte belongs to a complete, well-formed UTF-8 character.
bool is_valid_utf8(std::string_view text);

}  // namespace tarvo
