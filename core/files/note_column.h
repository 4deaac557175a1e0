#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// A note as an export places it: on the row of the reading it follows.
struct ReadingNote {
  std::int64_t reading = 0;  // 0 for a note made before the first reading
  std::string text;
  friend bool operator==(const ReadingNote&, const ReadingNote&) = default;
};

// The Note column that .csv and .xlsx add after their others when the log
// has notes; without notes there is no column and the files stay as they
// were. Several notes at one reading share its cell, joined by "; ", in the
// order they were made. A note made before the first reading stands on the
// first row and one past the last (a log cut short) on the last, so that no
// note is lost from the file.
class NoteColumn {
 public:
  NoteColumn() = default;
  NoteColumn(std::string title, const std::vector<ReadingNote>& notes, std::int64_t readings);

  bool empty() const { return cells_.empty(); }
  const std::string& title() const { return title_; }
  // The cell of the reading's row; empty for a reading without a note.
  std::string_view text_at(std::int64_t reading) const;

 private:
  std::string title_;
  std::vector<ReadingNote> cells_;  // one per reading with notes, by reading
};

}  // namespace tarvo
