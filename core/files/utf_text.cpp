#include "files/utf_text.h"

#include <algorithm>

#include "log/fixed_text.h"

namespace tarvo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point of the character at pos, whose length utf8_char_length gave.
char32_t decode_at(std::string_view text, std::size_t pos, std::size_t length) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (length == 1) return lead < 0x80 ? lead : kReplacement;
  static constexpr unsigned char kLeadMask[] = {0, 0, 0x1F, 0x0F, 0x07};
  char32_t code = lead & kLeadMask[length];
  for (std::size_t k = 1; k < length; ++k) {
    code = (code << 6) | (static_cast<unsigned char>(text[pos + k]) & 0x3F);
  }
  return code;
}

template <typename Visit>
void for_each_code_point(std::string_view text, Visit visit) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8_char_length(text, pos);
    visit(decode_at(text, pos, length), text.substr(pos, length));
    pos += length;
  }
}

}  // namespace

std::u16string utf16_from_utf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for_each_code_point(text, [&out](char32_t code, std::string_view) {
    if (code < 0x10000) {
      out.push_back(static_cast<char16_t>(code));
    } else {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    }
  });
  return out;
}

void append_valid_utf8(std::string& out, std::string_view text) {
  const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
  if (std::all_of(text.begin(), text.end(), ascii)) {
    out += text;
    return;
  }
  for_each_code_point(text, [&out](char32_t code, std::string_view bytes) {
    if (code == kReplacement && bytes != "\xEF\xBF\xBD") {
      out += "\xEF\xBF\xBD";
    } else {
      out += bytes;
    }
  });
}

}  // namespace tarvo
