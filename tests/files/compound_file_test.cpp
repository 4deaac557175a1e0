#include "files/compound_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tarvo {
namespace {

std::uint32_t u32_at(const std::string& file, std::size_t at) {
  std::uint32_t value = 0;
  for (int k = 3; k >= 0; --k) value = value << 8 | static_cast<std::uint8_t>(file.at(at + k));
  return value;
}

std::uint16_t u16_at(const std::string& file, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(file.at(at)) |
                                    static_cast<std::uint8_t>(file.at(at + 1)) << 8);
}

// Reads a version 3 compound file the way a reader does: the FAT from the
// sector numbers in the header and the DIFAT chain, the directory through the
// FAT, the stream through the FAT or, when small, through the mini FAT.
class CfbReader {
 public:
  explicit CfbReader(std::string file) : file_(std::move(file)) {
    std::vector<std::uint32_t> fat_sectors;
    for (int i = 0; i < 109; ++i) fat_sectors.push_back(u32_at(file_, 76 + 4 * i));
    for (std::uint32_t d = u32_at(file_, 68), n = 0; n < u32_at(file_, 72); ++n) {
      for (int i = 0; i < 127; ++i) fat_sectors.push_back(u32_at(file_, sector(d) + 4 * i));
      d = u32_at(file_, sector(d) + 508);
    }
    fat_sectors.resize(u32_at(file_, 44));
    for (const std::uint32_t s : fat_sectors) {
      for (int i = 0; i < 128; ++i) fat_.push_back(u32_at(file_, sector(s) + 4 * i));
    }
  }

  std::string chain(std::uint32_t start, const std::vector<std::uint32_t>& table, std::size_t unit,
                    const std::string& source, std::size_t base) const {
    std::string bytes;
    for (std::uint32_t s = start; s != kCfbEndOfChain; s = table.at(s)) {
      bytes += source.substr(base + s * unit, unit);
      if (bytes.size() > source.size()) break;  // a loop
    }
    return bytes;
  }

  std::string directory() const { return chain(u32_at(file_, 48), fat_, 512, file_, 512); }

  std::string stream(std::size_t entry) const {
    const std::string dir = directory();
    const std::uint32_t start = u32_at(dir, entry * 128 + 116);
    const std::uint32_t size = u32_at(dir, entry * 128 + 120);
    if (size >= 4096) return chain(start, fat_, 512, file_, 512).substr(0, size);
    const std::string mini_stream = chain(u32_at(dir, 116), fat_, 512, file_, 512);
    const std::string mini_fat_bytes = chain(u32_at(file_, 60), fat_, 512, file_, 512);
    std::vector<std::uint32_t> mini_fat;
    for (std::size_t i = 0; i < mini_fat_bytes.size(); i += 4)
      mini_fat.push_back(u32_at(mini_fat_bytes, i));
    return chain(start, mini_fat, 64, mini_stream, 0).substr(0, size);
  }

  std::uint32_t fat_entry(std::uint32_t s) const { return fat_.at(s); }

 private:
  static std::size_t sector(std::uint32_t s) { return 512 + std::size_t{s} * 512; }

  std::string file_;
  std::vector<std::uint32_t> fat_;
};

std::string sample_stream(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

std::string compound_file_of(const std::string& stream, std::size_t piece = 1000) {
  std::ostringstream out;
  CompoundFileWriter writer(out, "Workbook", stream.size());
  for (std::size_t at = 0; at < stream.size(); at += piece) {
    const std::string part = stream.substr(at, piece);
    writer.write({reinterpret_cast<const std::uint8_t*>(part.data()), part.size()});
  }
  EXPECT_TRUE(writer.finish());
  return out.str();
}

struct LayoutCase {
  std::uint64_t size;
  CompoundLayout expected;
};

class CompoundFileLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(CompoundFileLayout, CountsItsSectors) {
  const CompoundLayout l = plan_compound_file(GetParam().size);
  const CompoundLayout& e = GetParam().expected;
  EXPECT_EQ(l.mini_stream, e.mini_stream);
  EXPECT_EQ(l.data_sectors, e.data_sectors);
  EXPECT_EQ(l.mini_fat_sectors, e.mini_fat_sectors);
  EXPECT_EQ(l.directory_sector, e.directory_sector);
  EXPECT_EQ(l.fat_sectors, e.fat_sectors);
  EXPECT_EQ(l.difat_sectors, e.difat_sectors);
}

// 109 FAT sectors describe 13952 sectors; past that the DIFAT begins, and
// each DIFAT sector lists 127 more FAT sectors.
INSTANTIATE_TEST_SUITE_P(
    Cases, CompoundFileLayout,
    ::testing::Values(LayoutCase{0, {true, 0, 0, 0, 1, 0}}, LayoutCase{1, {true, 1, 1, 2, 1, 0}},
                      LayoutCase{4095, {true, 8, 1, 9, 1, 0}},
                      LayoutCase{4096, {false, 8, 0, 8, 1, 0}},
                      LayoutCase{126 * 512, {false, 126, 0, 126, 1, 0}},
                      LayoutCase{127 * 512, {false, 127, 0, 127, 2, 0}},
                      LayoutCase{13842 * 512, {false, 13842, 0, 13842, 109, 0}},
                      LayoutCase{13843 * 512, {false, 13843, 0, 13843, 110, 1}},
                      LayoutCase{40000 * 512, {false, 40000, 0, 40000, 315, 2}}));

TEST(CompoundFileHeader, SmallStreamUsesTheMiniStream) {
  const std::string file = compound_file_of(sample_stream(1500));
  ASSERT_EQ(file.size(), 512u * 7);  // header, 3 data, mini FAT, directory, FAT
  EXPECT_EQ(file.substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  EXPECT_EQ(u16_at(file, 24), 0x003E);
  EXPECT_EQ(u16_at(file, 26), 3);
  EXPECT_EQ(u16_at(file, 28), 0xFFFE);
  EXPECT_EQ(u16_at(file, 30), 9);
  EXPECT_EQ(u16_at(file, 32), 6);
  EXPECT_EQ(u32_at(file, 40), 0u);
  EXPECT_EQ(u32_at(file, 44), 1u);  // FAT sectors
  EXPECT_EQ(u32_at(file, 48), 4u);  // directory
  EXPECT_EQ(u32_at(file, 56), 4096u);
  EXPECT_EQ(u32_at(file, 60), 3u);  // mini FAT
  EXPECT_EQ(u32_at(file, 64), 1u);
  EXPECT_EQ(u32_at(file, 68), kCfbEndOfChain);
  EXPECT_EQ(u32_at(file, 72), 0u);
  EXPECT_EQ(u32_at(file, 76), 5u);
  EXPECT_EQ(u32_at(file, 80), kCfbFreeSector);

  const std::string dir = file.substr(512 * 5, 512);
  EXPECT_EQ(dir.substr(0, 22), std::string("R\0o\0o\0t\0 \0E\0n\0t\0r\0y\0\0\0", 22));
  EXPECT_EQ(u16_at(dir, 64), 22);
  EXPECT_EQ(dir[66], 5);  // root
  EXPECT_EQ(u32_at(dir, 76), 1u);
  EXPECT_EQ(u32_at(dir, 116), 0u);
  EXPECT_EQ(u32_at(dir, 120), 1536u);  // 24 mini sectors
  EXPECT_EQ(dir.substr(128, 18), std::string("W\0o\0r\0k\0b\0o\0o\0k\0\0\0", 18));
  EXPECT_EQ(dir[128 + 66], 2);  // stream
  EXPECT_EQ(u32_at(dir, 128 + 120), 1500u);
  EXPECT_EQ(dir[256 + 66], 0);  // unused entries
  EXPECT_EQ(u32_at(dir, 256 + 68), 0xFFFFFFFFu);
}

TEST(CompoundFileHeader, LargeStreamListsFatSectorsInTheDifat) {
  const std::size_t size = 13843 * 512;
  const std::string file = compound_file_of(sample_stream(size), 65536);
  EXPECT_EQ(u32_at(file, 44), 110u);
  EXPECT_EQ(u32_at(file, 48), 13843u);
  EXPECT_EQ(u32_at(file, 60), kCfbEndOfChain);
  EXPECT_EQ(u32_at(file, 68), 13844u + 110);
  EXPECT_EQ(u32_at(file, 72), 1u);
  EXPECT_EQ(u32_at(file, 76 + 4 * 108), 13844u + 108);
  const std::size_t difat = 512 + std::size_t{13844 + 110} * 512;
  EXPECT_EQ(u32_at(file, difat), 13844u + 109);
  EXPECT_EQ(u32_at(file, difat + 4), kCfbFreeSector);
  EXPECT_EQ(u32_at(file, difat + 508), kCfbEndOfChain);
  EXPECT_EQ(file.size(), 512 + std::size_t{13844 + 110 + 1} * 512);
  const CfbReader reader(file);
  EXPECT_EQ(reader.fat_entry(13844), kCfbFatSector);
  EXPECT_EQ(reader.fat_entry(13844 + 110), kCfbDifatSector);
}

class CompoundFileStream : public ::testing::TestWithParam<std::size_t> {};

TEST_P(CompoundFileStream, ReadsBackThroughTheFat) {
  const std::string stream = sample_stream(GetParam());
  const CfbReader reader(compound_file_of(stream, 4093));
  EXPECT_EQ(reader.stream(1), stream);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CompoundFileStream,
                         ::testing::Values(1, 63, 64, 65, 4095, 4096, 4097, 70000,
                                           std::size_t{13843} * 512 + 1, std::size_t{40000} * 512));

TEST(CompoundFileWriter, RefusesAStreamOfAnotherSize) {
  std::ostringstream out;
  CompoundFileWriter writer(out, "Workbook", 10);
  const std::uint8_t bytes[11] = {};
  writer.write({bytes, 9});
  EXPECT_FALSE(writer.finish());
  CompoundFileWriter longer(out, "Workbook", 10);
  longer.write(bytes);
  EXPECT_FALSE(longer.finish());
}

}  // namespace
}  // namespace tarvo
