#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "files/byte_buffer.h"

namespace tarvo {

// The shared string table of a BIFF8 workbook: every distinct cell text once,
// cells refer to it by number. The table keeps views, so the texts must outlive
// it (they are the log's own fields and the grid's titles).
class SharedStrings {
 public:
  // The number of a UTF-8 text, adding it when new.
  std::uint32_t add(std::string_view text);
  // The number of a text added before.
  std::uint32_t at(std::string_view text) const { return numbers_.at(text); }
  std::size_t size() const { return texts_.size(); }

  // Appends the SST record with its CONTINUE records, then EXTSST. The EXTSST
  // index holds stream positions, so stream_position is where out.size() lies
  // in the workbook stream. references is the number of cells using the table.
  void append_records(Bytes& out, std::uint64_t stream_position, std::uint32_t references) const;

 private:
  std::unordered_map<std::string_view, std::uint32_t> numbers_;
  std::vector<std::string_view> texts_;
};

}  // namespace tarvo
