#include "log/range_fields.h"

#include "log/fixed_text.h"

namespace tarvo {

namespace {

constexpr std::size_t kNoSpace = std::string_view::npos;

// The byte offset reached after stepping over `chars` characters from `pos`.
std::size_t skip_chars(std::string_view text, std::size_t pos, std::size_t chars) {
  for (; chars > 0 && pos < text.size(); --chars) pos += utf8_char_length(text, pos);
  return pos;
}

// After the function name and its space come the range word and its space,
// five characters; the window for range and unit is 20 characters long.
constexpr std::size_t kRangeWordChars = 5;
constexpr std::size_t kWindowChars = 20;

std::string_view range_window(std::string_view main_range, std::size_t first_space) {
  const std::size_t after_space = first_space == kNoSpace ? 0 : first_space + 1;
  const std::size_t start = skip_chars(main_range, after_space, kRangeWordChars);
  const std::size_t end = skip_chars(main_range, start, kWindowChars);
  return trim_controls(main_range.substr(start, end - start));
}

}  // namespace

// Bytes of multi-byte characters are all above 0x7F, so trimming byte-wise
// never cuts into a character.
std::string_view trim_controls(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

RangeFields split_main_range(std::string_view main_range) {
  RangeFields fields;
  const std::size_t first_space = main_range.find(' ');
  if (first_space != kNoSpace) fields.function_key = main_range.substr(0, first_space + 1);

  const std::string_view window = range_window(main_range, first_space);
  const std::size_t split = window.find(' ');
  if (split == kNoSpace) {
    fields.unit_text = window;
  } else {
    fields.range_text = trim_controls(window.substr(0, split));
    fields.unit_text = trim_controls(window.substr(split));
  }
  return fields;
}

}  // namespace tarvo
