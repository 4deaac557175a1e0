#include "files/compound_file.h"

#include <algorithm>

#include "files/byte_buffer.h"

namespace tarvo {

namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kEntriesPerSector = kSectorSize / 4;
constexpr std::uint32_t kMiniSectorSize = 64;
constexpr std::uint32_t kMiniStreamCutoff = 4096;
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kDifatEntriesPerSector = kEntriesPerSector - 1;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

enum class EntryType : std::uint8_t { Empty = 0, Stream = 2, Root = 5 };

std::uint32_t ceil_div(std::uint64_t value, std::uint64_t divisor) {
  return static_cast<std::uint32_t>((value + divisor - 1) / divisor);
}

std::uint64_t mini_stream_size(std::uint64_t stream_size) {
  return std::uint64_t{ceil_div(stream_size, kMiniSectorSize)} * kMiniSectorSize;
}

// FAT and DIFAT sectors count themselves among the sectors they describe, so
// their numbers are found by iterating to a fixed point.
void size_fat(CompoundLayout& layout) {
  const std::uint32_t others = layout.data_sectors + layout.mini_fat_sectors + 1;
  for (;;) {
    const std::uint32_t fat =
        ceil_div(others + layout.fat_sectors + layout.difat_sectors, kEntriesPerSector);
    const std::uint32_t difat =
        fat > kHeaderDifatEntries ? ceil_div(fat - kHeaderDifatEntries, kDifatEntriesPerSector) : 0;
    if (fat == layout.fat_sectors && difat == layout.difat_sectors) return;
    layout.fat_sectors = fat;
    layout.difat_sectors = difat;
  }
}

void write_bytes(std::ostream& out, const Bytes& bytes) {
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Writes 32-bit entries entry(0), entry(1), ... filling count whole sectors.
template <typename Entry>
void write_entry_sectors(std::ostream& out, std::uint32_t count, Entry entry) {
  Bytes sector;
  sector.reserve(kSectorSize);
  for (std::uint64_t i = 0; i < std::uint64_t{count} * kEntriesPerSector; ++i) {
    put_u32(sector, entry(i));
    if (sector.size() == kSectorSize) {
      write_bytes(out, sector);
      sector.clear();
    }
  }
}

void put_directory_entry(Bytes& out, std::string_view name, EntryType type, std::uint32_t child,
                         std::uint32_t start, std::uint64_t size) {
  const std::size_t entry = out.size();
  for (const char c : name) put_u16(out, static_cast<std::uint8_t>(c));
  put_zeros(out, 64 - name.size() * 2);
  put_u16(out, static_cast<std::uint16_t>(name.empty() ? 0 : (name.size() + 1) * 2));
  put_u8(out, static_cast<std::uint8_t>(type));
  put_u8(out, type == EntryType::Empty ? 0 : 1);  // black: a tree of one node
  put_u32(out, kNoStream);                        // left sibling
  put_u32(out, kNoStream);                        // right sibling
  put_u32(out, child);
  put_zeros(out, 16 + 4 + 8 + 8);  // class id, state bits, creation and change times
  put_u32(out, start);
  put_u64(out, size);
  out.resize(entry + 128);
}

}  // namespace

CompoundLayout plan_compound_file(std::uint64_t stream_size) {
  CompoundLayout layout;
  layout.mini_stream = stream_size < kMiniStreamCutoff;
  if (layout.mini_stream) {
    layout.data_sectors = ceil_div(mini_stream_size(stream_size), kSectorSize);
    layout.mini_fat_sectors = stream_size > 0 ? 1 : 0;
  } else {
    layout.data_sectors = ceil_div(stream_size, kSectorSize);
  }
  layout.directory_sector = layout.data_sectors + layout.mini_fat_sectors;
  size_fat(layout);
  return layout;
}

CompoundFileWriter::CompoundFileWriter(std::ostream& out, std::string_view stream_name,
                                       std::uint64_t stream_size)
    : out_(out), name_(stream_name), size_(stream_size), layout_(plan_compound_file(stream_size)) {
  Bytes header;
  put_u32(header, 0xE011CFD0);  // signature D0 CF 11 E0 A1 B1 1A E1
  put_u32(header, 0xE11AB1A1);
  put_zeros(header, 16);     // class id
  put_u16(header, 0x003E);   // minor version
  put_u16(header, 0x0003);   // major version: 512-byte sectors
  put_u16(header, 0xFFFE);   // little-endian
  put_u16(header, 9);        // sector size 2^9
  put_u16(header, 6);        // mini sector size 2^6
  put_zeros(header, 6 + 4);  // reserved; directory sector count (0 in version 3)
  put_u32(header, layout_.fat_sectors);
  put_u32(header, layout_.directory_sector);
  put_u32(header, 0);  // transactions: none
  put_u32(header, kMiniStreamCutoff);
  put_u32(header, layout_.mini_fat_sectors ? layout_.data_sectors : kCfbEndOfChain);
  put_u32(header, layout_.mini_fat_sectors);
  put_u32(header, layout_.difat_sectors ? layout_.first_difat_sector() : kCfbEndOfChain);
  put_u32(header, layout_.difat_sectors);
  for (std::uint32_t i = 0; i < kHeaderDifatEntries; ++i) {
    put_u32(header, i < layout_.fat_sectors ? layout_.first_fat_sector() + i : kCfbFreeSector);
  }
  write_bytes(out_, header);
}

void CompoundFileWriter::write(std::span<const std::uint8_t> bytes) {
  written_ += bytes.size();
  if (written_ > size_) return;
  out_.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

bool CompoundFileWriter::finish() {
  if (written_ != size_) return false;
  write_padding();
  write_mini_fat();
  write_directory();
  write_fat();
  write_difat();
  out_.flush();
  return static_cast<bool>(out_);
}

void CompoundFileWriter::write_padding() {
  const std::uint64_t used = std::uint64_t{layout_.data_sectors} * kSectorSize;
  write_bytes(out_, Bytes(static_cast<std::size_t>(used - size_), 0));
}

void CompoundFileWriter::write_mini_fat() {
  const std::uint32_t mini_sectors = ceil_div(size_, kMiniSectorSize);
  write_entry_sectors(out_, layout_.mini_fat_sectors, [mini_sectors](std::uint64_t i) {
    if (i + 1 < mini_sectors) return static_cast<std::uint32_t>(i + 1);
    return i + 1 == mini_sectors ? kCfbEndOfChain : kCfbFreeSector;
  });
}

void CompoundFileWriter::write_directory() {
  const bool has_data = size_ > 0;
  const std::uint32_t start = has_data ? 0 : kCfbEndOfChain;
  const bool mini = layout_.mini_stream && has_data;
  Bytes sector;
  put_directory_entry(sector, "Root Entry", EntryType::Root, 1, mini ? 0 : kCfbEndOfChain,
                      mini ? mini_stream_size(size_) : 0);
  put_directory_entry(sector, name_, EntryType::Stream, kNoStream, start, size_);
  put_directory_entry(sector, {}, EntryType::Empty, kNoStream, 0, 0);
  put_directory_entry(sector, {}, EntryType::Empty, kNoStream, 0, 0);
  write_bytes(out_, sector);
}

void CompoundFileWriter::write_fat() {
  const CompoundLayout& l = layout_;
  write_entry_sectors(out_, l.fat_sectors, [&l](std::uint64_t i) -> std::uint32_t {
    if (i < l.data_sectors)
      return i + 1 == l.data_sectors ? kCfbEndOfChain : static_cast<std::uint32_t>(i + 1);
    if (i < l.first_fat_sector()) return kCfbEndOfChain;  // mini FAT and directory: one sector each
    if (i < l.first_difat_sector()) return kCfbFatSector;
    if (i < l.sector_count()) return kCfbDifatSector;
    return kCfbFreeSector;
  });
}

void CompoundFileWriter::write_difat() {
  const CompoundLayout& l = layout_;
  write_entry_sectors(out_, l.difat_sectors, [&l](std::uint64_t i) -> std::uint32_t {
    const std::uint64_t sector = i / kEntriesPerSector;
    if (i % kEntriesPerSector == kDifatEntriesPerSector) {
      return sector + 1 < l.difat_sectors
                 ? l.first_difat_sector() + static_cast<std::uint32_t>(sector) + 1
                 : kCfbEndOfChain;
    }
    const std::uint64_t fat =
        kHeaderDifatEntries + sector * kDifatEntriesPerSector + i % kEntriesPerSector;
    return fat < l.fat_sectors ? l.first_fat_sector() + static_cast<std::uint32_t>(fat)
                               : kCfbFreeSector;
  });
}

}  // namespace tarvo
