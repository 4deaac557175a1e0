#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo {

// Cuts UTF-8 text to at most max_bytes bytes without splitting a character.
std::string_view cut_utf8(std::string_view text, std::size_t max_bytes);

// The byte length of the UTF-8 character that starts at pos: 1 for a byte that
// does not start a complete, well-formed character, 0 at or past the end.
std::size_t utf8_char_length(std::string_view text, std::size_t pos);

// A text field of a log record: at most Capacity bytes of 8-bit text, cut without
// notice. On this platform the 8-bit text is UTF-8 and the cut never splits a
// character (the ohm sign takes two bytes).
template <std::size_t Capacity>
class FixedText {
 public:
  static constexpr std::size_t capacity = Capacity;

  FixedText() = default;
  explicit FixedText(std::string_view text) { assign(text); }

  void assign(std::string_view text) {
    const std::string_view cut = cut_utf8(text, Capacity);
    length_ = static_cast<std::uint8_t>(cut.size());
    std::copy(cut.begin(), cut.end(), bytes_.begin());
  }
  std::string_view view() const { return {bytes_.data(), length_}; }
  std::string str() const { return std::string(view()); }
  std::size_t size() const { return length_; }
  bool empty() const { return length_ == 0; }

  friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }

 private:
  std::uint8_t length_ = 0;
  std::array<char, Capacity> bytes_{};
};

}  // namespace tarvo
