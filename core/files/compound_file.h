#pragma once

// Compound file (OLE2, version 3) holding a single stream, as .xls needs it.
//
//   header   512 bytes: signature, sector sizes, FAT sector count, where the
//            directory, the mini FAT and the DIFAT start, and the first 109
//            FAT sector numbers
//   sectors  512 bytes each, numbered from 0 right after the header, in this
//            order: the stream's data (for a stream under 4096 bytes, the mini
//            stream of 64-byte mini sectors holding it), one mini FAT sector
//            when there is a mini stream, the directory (root entry and the
//            stream's entry), the FAT sectors, then the DIFAT sectors that list
//            the FAT sectors beyond the first 109 (127 each, plus the number of
//            the next DIFAT sector)
//   FAT      one 32-bit entry per sector: the next sector of its chain, or
//            ENDOFCHAIN, FATSECT, DIFSECT, FREESECT
//
// The stream's size is needed up front so that the header can be written
// first and the data streamed straight through.

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace tarvo {

inline constexpr std::uint32_t kCfbEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kCfbFreeSector = 0xFFFFFFFF;
inline constexpr std::uint32_t kCfbFatSector = 0xFFFFFFFD;
inline constexpr std::uint32_t kCfbDifatSector = 0xFFFFFFFC;

// The largest stream a version 3 file holds: its size field has 32 bits.
inline constexpr std::uint64_t kCfbMaxStreamSize = 0xFFFFFFFF;

struct CompoundLayout {
  bool mini_stream = false;
  std::uint32_t data_sectors = 0;
  std::uint32_t mini_fat_sectors = 0;
  std::uint32_t directory_sector = 0;
  std::uint32_t fat_sectors = 0;
  std::uint32_t difat_sectors = 0;

  std::uint32_t first_fat_sector() const { return directory_sector + 1; }
  std::uint32_t first_difat_sector() const { return first_fat_sector() + fat_sectors; }
  std::uint32_t sector_count() const { return first_difat_sector() + difat_sectors; }
};

CompoundLayout plan_compound_file(std::uint64_t stream_size);

class CompoundFileWriter {
 public:
  // Writes the header at once. stream_name is ASCII, at most 31 characters;
  // stream_size at most kCfbMaxStreamSize.
  CompoundFileWriter(std::ostream& out, std::string_view stream_name, std::uint64_t stream_size);

  void write(std::span<const std::uint8_t> bytes);
  // Writes everything after the data. False when the data given did not
  // have the announced size or the output failed.
  bool finish();

 private:
  void write_padding();
  void write_mini_fat();
  void write_directory();
  void write_fat();
  void write_difat();

  std::ostream& out_;
  std::string name_;
  std::uint64_t size_;
  std::uint64_t written_ = 0;
  CompoundLayout layout_;
};

}  // namespace tarvo
