#include "link/debug_trace.h"

namespace tarvo {

std::string trace_hex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
    text += ' ';
  }
  return text;
}

std::string PortTrace::prefix(std::int32_t port) const {
  return format_hhmmss_z(clock_()) + "  COM" + std::to_string(port);
}

void PortTrace::add(std::int32_t port, std::string_view tail) {
  if (quiet_) return;
  sink_.add_line(prefix(port).append(tail));
}

void PortTrace::read(std::int32_t port, std::span<const std::uint8_t> bytes) {
  if (quiet_) return;
  std::string line = prefix(port);
  line += "  Read:(" + std::to_string(bytes.size()) + ")  ";
  line += trace_hex(bytes);
  line += "\r\n";
  sink_.add_line(std::move(line));
}

void PortTrace::note(std::string_view text) {
  sink_.add_line(format_hhmmss_z(clock_()).append("  ").append(text));
}

void PortTrace::mapped(std::int32_t port, std::string_view device) {
  if (quiet_) return;
  sink_.add_line(prefix(port).append(" = ").append(device));
}

}  // namespace tarvo
