#include "link/meter_probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kBench = {0xA0, 0x00, 0x30, 0x00, 0x00, 0x04, 0x02,
                      0x05, 0x04, 0x00, 0x00, 0x00, 0x5B, 0x00};
const Bytes kCompact = {0xA0, 0x00, 0x10, 0x00, 0x04, 0x02, 0x05, 0x04};

Bytes join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes fill(std::size_t n, std::uint8_t b) {
  return Bytes(n, b);
}

TEST(ProbeBytes, RecognisesTheFamilyByFrameShape) {
  Bytes bench_byte12_junk = kBench;
  bench_byte12_junk[12] = 0xFF;  // byte 12 is never tested
  Bytes bench_byte13_bad = kBench;
  bench_byte13_bad[13] = 10;
  Bytes compact_digit_bad = kCompact;
  compact_digit_bad[7] = 10;
  Bytes compact_flag_bad = kCompact;
  compact_flag_bad[2] = 0x80;
  const Bytes bench_header_bf = join({{0xBF}, Bytes(kBench.begin() + 1, kBench.end())});
  const Bytes compact_header_c0 = join({{0xC0}, Bytes(kCompact.begin() + 1, kCompact.end())});

  struct Case {
    std::string name;
    Bytes bytes;
    MeterModel expected;
  };
  const Case cases[] = {
      {"nothing", {}, MeterModel::None},
      {"7 bytes of a compact frame", Bytes(kCompact.begin(), kCompact.end() - 1), MeterModel::None},
      {"13 bytes holding a compact frame", join({fill(5, 0xFF), kCompact}), MeterModel::ModelNoxel},
      {"compact frame alone", kCompact, MeterModel::ModelNoxel},
      {"compact stream", join({kCompact, kCompact, kCompact}), MeterModel::ModelNoxel},
      {"bench frame ending at the last byte", join({fill(30, 0xEE), kBench}),
       MeterModel::ModelTarvo},
      {"bench frame cut one byte short",
       join({fill(30, 0xEE), Bytes(kBench.begin(), kBench.end() - 1)}),
       MeterModel::ModelNoxel},  // its first 8 bytes still have the compact shape
      {"bench stream, which also holds the compact shape", join({kCompact, kBench, kBench}),
       MeterModel::ModelTarvo},
      {"byte 12 is not tested", bench_byte12_junk, MeterModel::ModelTarvo},
      {"byte 13 must be a digit", join({fill(8, 0xFF), bench_byte13_bad}), MeterModel::ModelNoxel},
      {"header 0xBF", bench_header_bf, MeterModel::ModelTarvo},
      {"header 0xC0", join({fill(8, 0xFF), compact_header_c0}), MeterModel::None},
      {"compact digit 10", compact_digit_bad, MeterModel::None},
      {"compact flag 0x80", compact_flag_bad, MeterModel::None},
      {"junk", fill(200, 0xA5), MeterModel::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(probe_bytes(c.bytes), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace tarvo
