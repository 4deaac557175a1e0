#pragma once

#include <zlib.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// The members of a zip file by name, stored or deflated, enough to read back
// the parts of an .xlsx workbook.
namespace tarvo::zip_test {

inline std::uint32_t le(std::string_view bytes, std::size_t pos, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = value << 8 | static_cast<std::uint8_t>(bytes[pos + static_cast<std::size_t>(i)]);
  }
  return value;
}

inline std::string inflate_raw(std::string_view data, std::size_t size) {
  std::string out(size, '\0');
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return {};
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&z, Z_FINISH);
  inflateEnd(&z);
  return result == Z_STREAM_END ? out : std::string();
}

// Walks the central directory found through the end record; empty for a
// file that is not a zip.
inline std::map<std::string, std::string> zip_members(std::string_view zip) {
  std::map<std::string, std::string> members;
  const std::size_t end = zip.rfind(std::string_view("PK\x05\x06", 4));
  if (end == std::string_view::npos || end + 22 > zip.size()) return members;
  std::size_t pos = le(zip, end + 16, 4);
  for (std::uint32_t n = le(zip, end + 10, 2); n > 0 && pos + 46 <= zip.size(); --n) {
    const std::uint32_t method = le(zip, pos + 10, 2);
    const std::uint32_t packed = le(zip, pos + 20, 4);
    const std::uint32_t size = le(zip, pos + 24, 4);
    const std::uint32_t name_length = le(zip, pos + 28, 2);
    const std::size_t local = le(zip, pos + 42, 4);
    const std::string name(zip.substr(pos + 46, name_length));
    const std::size_t data = local + 30 + le(zip, local + 26, 2) + le(zip, local + 28, 2);
    const std::string_view bytes = zip.substr(data, packed);
    members[name] = method == 0 ? std::string(bytes) : inflate_raw(bytes, size);
    pos += 46 + name_length + le(zip, pos + 30, 2) + le(zip, pos + 32, 2);
  }
  return members;
}

}  // namespace tarvo::zip_test
