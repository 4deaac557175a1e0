#include "hex_chunk.h"

namespace tarvo::cli {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool is_separator(char c) {
  return c == ' ' || c == '\t' || c == '-' || c == '\r';
}

}  // namespace

std::optional<std::vector<std::uint8_t>> parse_hex_chunk(std::string_view chunk) {
  std::vector<std::uint8_t> bytes;
  std::size_t i = 0;
  while (i < chunk.size()) {
    if (is_separator(chunk[i])) {
      ++i;
      continue;
    }
    if (i + 1 >= chunk.size()) return std::nullopt;
    const int hi = hex_value(chunk[i]);
    const int lo = hex_value(chunk[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    i += 2;
  }
  return bytes;
}

std::string hex_dump(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const std::uint8_t b : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  return out;
}

}  // namespace tarvo::cli
