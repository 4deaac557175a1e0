#pragma once

#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tarvo {

using Bytes = std::vector<std::uint8_t>;

// Little-endian appends and patches for the binary file writers.
inline void put_u8(Bytes& out, std::uint8_t value) {
  out.push_back(value);
}

inline void put_u16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void put_u32(Bytes& out, std::uint32_t value) {
  put_u16(out, static_cast<std::uint16_t>(value));
  put_u16(out, static_cast<std::uint16_t>(value >> 16));
}

inline void put_u64(Bytes& out, std::uint64_t value) {
  put_u32(out, static_cast<std::uint32_t>(value));
  put_u32(out, static_cast<std::uint32_t>(value >> 32));
}

inline void put_f64(Bytes& out, double value) {
  put_u64(out, std::bit_cast<std::uint64_t>(value));
}

inline void put_zeros(Bytes& out, std::size_t count) {
  out.insert(out.end(), count, 0);
}

inline void put_ascii(Bytes& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

inline void patch_u16(Bytes& out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void patch_u32(Bytes& out, std::size_t at, std::uint32_t value) {
  patch_u16(out, at, static_cast<std::uint16_t>(value));
  patch_u16(out, at + 2, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace tarvo
