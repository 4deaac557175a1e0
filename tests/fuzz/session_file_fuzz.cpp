// Arbitrary bytes as a session file. Whatever the reader accepts must come
// back the same when its header and readings are written again and read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/session_file.h"

namespace {

void check(std::string_view bytes, std::string_view separator) {
  const auto session = tarvo::ParseSession(bytes, separator);
  if (!session) return;
  // The texts now hold this run's separator: write them as if it were the file's.
  tarvo::SessionHeader header = session->header;
  header.decimal_separator = std::string(separator);
  std::string again = tarvo::session_header_text(header);
  for (const tarvo::real_Record& r : session->records) again += tarvo::session_reading_line(r);
  const auto reread = tarvo::ParseSession(again, separator);
  if (!reread || reread->records.size() != session->records.size()) __builtin_trap();
  for (std::size_t i = 0; i < session->records.size(); ++i) {
    if (!(reread->records[i] == session->records[i])) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check(bytes, ".");
  check(bytes, ",");
  return 0;
}
