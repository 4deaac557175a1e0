#include "log/fixed_text.h"

namespace tarvo {

namespace {

bool is_continuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The bounds of the second byte narrow for some lead bytes, which rules out
// overlong forms, surrogates and code points above U+10FFFF.
struct LeadRule {
  std::size_t length;
  unsigned char second_min;
  unsigned char second_max;
};

LeadRule lead_rule(unsigned char lead) {
  if (lead < 0x80) return {1, 0, 0};
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

}  // namespace

std::size_t utf8_char_length(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  const LeadRule rule = lead_rule(static_cast<unsigned char>(text[pos]));
  if (rule.length <= 1 || text.size() - pos < rule.length) return 1;
  const auto second = static_cast<unsigned char>(text[pos + 1]);
  if (second < rule.second_min || second > rule.second_max) return 1;
  for (std::size_t k = 2; k < rule.length; ++k) {
    if (!is_continuation(static_cast<unsigned char>(text[pos + k]))) return 1;
  }
  return rule.length;
}

std::string_view cut_utf8(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  std::size_t end = 0;
  while (end < max_bytes) {
    const std::size_t next = end + utf8_char_length(text, end);
    if (next > max_bytes) break;
    end = next;
  }
  return text.substr(0, end);
}

}  // namespace tarvo
