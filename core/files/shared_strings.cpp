#include "files/shared_strings.h"

#include <algorithm>
#include <string>

#include "files/biff_records.h"
#include "files/utf_text.h"

namespace tarvo {

namespace {

// Where a set of strings begins, for EXTSST: its stream position and its
// offset in its record, header included.
struct BucketStart {
  std::uint64_t stream_position;
  std::uint16_t record_offset;
};

// Writes the SST body across as many records as it needs. A string's length,
// flags and first character never straddle two records; the rest of a string
// may, and its continuation then starts with a fresh flags byte.
class SstStream {
 public:
  SstStream(Bytes& out, std::uint64_t stream_position)
      : out_(out),
        base_(stream_position - out.size()),
        record_(biff::begin_record(out, biff::kSst)) {}

  void put_header(std::uint32_t references, std::uint32_t unique) {
    put_u32(out_, references);
    put_u32(out_, unique);
  }

  BucketStart put_string(const std::u16string& text) {
    const bool wide = needs_two_bytes(text);
    const std::size_t char_size = wide ? 2 : 1;
    if (room() < 3 + char_size) next_record();
    const BucketStart start{base_ + out_.size(), static_cast<std::uint16_t>(out_.size() - record_)};
    put_u16(out_, static_cast<std::uint16_t>(text.size()));
    put_u8(out_, wide ? 1 : 0);
    for (std::size_t done = 0; done < text.size();) {
      if (room() < char_size) {
        next_record();
        put_u8(out_, wide ? 1 : 0);
      }
      const std::size_t n = std::min(text.size() - done, room() / char_size);
      put_chars(text.substr(done, n), wide);
      done += n;
    }
    return start;
  }

  void close() { biff::end_record(out_, record_); }

 private:
  static bool needs_two_bytes(const std::u16string& text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
  }

  std::size_t room() const { return biff::kMaxRecordBody - (out_.size() - record_ - 4); }

  void next_record() {
    biff::end_record(out_, record_);
    record_ = biff::begin_record(out_, biff::kContinue);
  }

  void put_chars(std::u16string_view chars, bool wide) {
    for (const char16_t c : chars) {
      if (wide) {
        put_u16(out_, c);
      } else {
        put_u8(out_, static_cast<std::uint8_t>(c));
      }
    }
  }

  Bytes& out_;
  std::uint64_t base_;
  std::size_t record_;
};

// Strings per EXTSST set, as readers expect it for the table's size.
std::size_t strings_per_bucket(std::size_t unique) {
  return std::max<std::size_t>(unique / 128 + 1, 8);
}

void append_extsst(Bytes& out, std::size_t per_bucket, const std::vector<BucketStart>& buckets) {
  const std::size_t record = biff::begin_record(out, biff::kExtSst);
  put_u16(out, static_cast<std::uint16_t>(per_bucket));
  for (const BucketStart& bucket : buckets) {
    put_u32(out, static_cast<std::uint32_t>(bucket.stream_position));
    put_u16(out, bucket.record_offset);
    put_u16(out, 0);
  }
  biff::end_record(out, record);
}

}  // namespace

std::uint32_t SharedStrings::add(std::string_view text) {
  const auto [it, added] = numbers_.try_emplace(text, static_cast<std::uint32_t>(texts_.size()));
  if (added) texts_.push_back(text);
  return it->second;
}

void SharedStrings::append_records(Bytes& out, std::uint64_t stream_position,
                                   std::uint32_t references) const {
  const std::size_t per_bucket = strings_per_bucket(texts_.size());
  std::vector<BucketStart> buckets;
  SstStream sst(out, stream_position);
  sst.put_header(references, static_cast<std::uint32_t>(texts_.size()));
  for (std::size_t i = 0; i < texts_.size(); ++i) {
    const BucketStart start = sst.put_string(utf16_from_utf8(texts_[i]));
    if (i % per_bucket == 0) buckets.push_back(start);
  }
  sst.close();
  append_extsst(out, per_bucket, buckets);
}

}  // namespace tarvo
