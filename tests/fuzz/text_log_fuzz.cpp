// Arbitrary bytes as a text log file. Whatever the reader accepts must hold
// valid UTF-8 within the field widths, and must come back the same (but for
// trimming) when it is saved and read again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/text_encoding.h"
#include "files/text_log.h"
#include "log/range_fields.h"

namespace {

// A record's texts are kept inline or in the shared pool; both have a
// capacity and a view.
template <typename Text>
void check_text(const Text& text) {
  if (text.size() > Text::capacity || !tarvo::is_valid_utf8(text.view())) __builtin_trap();
}

template <typename Text>
bool same_trimmed(const Text& first, const Text& again) {
  return tarvo::trim_controls(first.view()) == again.view();
}

// A field cut at its width may end in a space, which the second reading trims.
// The last field may also be lost to the cut at 100 characters.
bool same_record(const tarvo::real_Record& first, const tarvo::real_Record& again) {
  return first.Index == again.Index && same_trimmed(first.Time, again.Time) &&
         same_trimmed(first.Main_No, again.Main_No) &&
         same_trimmed(first.Main_Range, again.Main_Range) &&
         same_trimmed(first.Sub_No, again.Sub_No) &&
         (same_trimmed(first.Sub_range, again.Sub_range) || again.Sub_range.empty());
}

void check(std::string_view bytes, std::string_view separator) {
  const auto records = tarvo::ParseTextLog(bytes, separator);
  if (!records) return;
  for (const tarvo::real_Record& r : *records) {
    check_text(r.Time);
    check_text(r.Main_No);
    check_text(r.Main_Range);
    check_text(r.Sub_No);
    check_text(r.Sub_range);
  }
  tarvo::ReadingLog log;
  log.replace(*records);
  const auto again = tarvo::ParseTextLog(tarvo::TextLogBytes(log), separator);
  if (!again || again->size() != records->size()) __builtin_trap();
  for (std::size_t i = 0; i < records->size(); ++i) {
    if (!same_record((*records)[i], (*again)[i])) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  check(bytes, ".");
  check(bytes, ",");
  return 0;
}
