// Feeds arbitrary byte streams, in chunks, through the receive buffer to both
// frame decoders and checks what must hold for any input: the buffer indices
// stay in bounds, a miss leaves the buffer alone, a hit keeps exactly the bytes
// that followed the newest valid window and nothing newer was a frame.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "decode/meter_family.h"
#include "decode/rx_buffer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void check(bool ok) {
  if (!ok) std::abort();
}

using Family = tarvo::MeterFamily;

// Index just past the newest valid window of `held`, or 0 when there is none.
std::size_t newest_frame_end(const Bytes& held, const Family& family) {
  const auto size = static_cast<std::size_t>(family.frame_size);
  for (std::size_t end = held.size(); end >= size; --end) {
    if (family.is_frame(std::span(held).subspan(end - size, size))) return end;
  }
  return 0;
}

void check_indices(const tarvo::RxBuffer& rx) {
  check(rx.RxStart() >= 0 && rx.RxCount() >= 0);
  check(rx.RxStart() + rx.RxCount() <= tarvo::RxBuffer::kCapacity);
}

void check_texts(const tarvo::CurrentReading& r, const Family& family) {
  check(!r.Main_No.empty());
  check(r.Main_Range.find(" AUTO ") != std::string::npos ||
        r.Main_Range.find(" MANU ") != std::string::npos);
  if (!family.has_sub_display) {
    check(r.Sub_range.empty() && r.Sub_No.empty() && r.Sub_Func_Name.empty());
  } else {
    check(r.Sub_range.size() >= 2);
  }
  check(r.Stat_Mode >= 0 && r.Stat_Mode <= 7);
}

void decode_once(tarvo::RxBuffer& rx, tarvo::CurrentReading& reading, const Family& family,
                 const tarvo::DecodeSettings& settings) {
  const Bytes before(rx.held().begin(), rx.held().end());
  const std::int32_t start_before = rx.RxStart();
  const std::size_t end = newest_frame_end(before, family);

  const bool decoded = family.decode(rx, reading, settings);
  check_indices(rx);
  check(decoded == (end != 0));
  if (!decoded) {
    check(rx.RxStart() == start_before);
    check(Bytes(rx.held().begin(), rx.held().end()) == before);
    check(reading.Main_Range.empty() && reading.Main_No.empty() && reading.Sub_range.empty());
    return;
  }
  check(rx.RxStart() == 0);
  check(rx.RxCount() < static_cast<std::int32_t>(before.size()));
  check(Bytes(rx.held().begin(), rx.held().end()) ==
        Bytes(before.begin() + static_cast<long>(end), before.end()));
  check_texts(reading, family);
}

// However full the buffer gets, the newest bytes are always kept.
void append(tarvo::RxBuffer& rx, const Bytes& bytes, int repeats) {
  for (int k = 0; k < repeats; ++k) rx.append(bytes);
  check_indices(rx);
  const std::size_t kept = std::min(bytes.size(), static_cast<std::size_t>(rx.RxCount()));
  check(std::equal(bytes.end() - static_cast<long>(kept), bytes.end(),
                   rx.held().end() - static_cast<long>(kept)));
}

tarvo::DecodeSettings pick_settings(FuzzedDataProvider& in) {
  static const char* const kSeparators[] = {".", ",", "\u066B", ""};
  tarvo::DecodeSettings settings;
  settings.DecimalSeparator = kSeparators[in.ConsumeIntegralInRange<int>(0, 3)];
  if (in.ConsumeBool()) settings.ohm_sign = "Ohm";
  return settings;
}

}  // namespace

// The first byte picks the decoder order from its bits 0-1 (bench only, compact
// only, alternating, chosen per chunk) and from bits 2-3 how often each chunk is
// repeated, so that short inputs can still fill the buffer past its capacity.
// The last bytes steer the separator and the chunk sizes; the rest is the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] & 3;
  const int repeats = std::array{1, 8, 64, 256}[(data[0] >> 2) & 3];
  FuzzedDataProvider in(data + 1, size - 1);
  const tarvo::DecodeSettings settings = pick_settings(in);
  tarvo::RxBuffer rx;
  tarvo::CurrentReading reading;
  for (int round = 0; in.remaining_bytes() > 0; ++round) {
    const auto chunk = in.ConsumeIntegralInRange<std::size_t>(0, 96);
    const Bytes bytes = in.ConsumeBytes<std::uint8_t>(chunk);
    append(rx, bytes, repeats);
    int family = mode < 2 ? mode : round % 2;
    if (mode == 3) family = in.ConsumeBool() ? 1 : 0;
    decode_once(rx, reading, tarvo::meter_families()[static_cast<std::size_t>(family)], settings);
  }
  return 0;
}
