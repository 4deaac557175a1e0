#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/note_column.h"

namespace tarvo {

// A note the user added, at the newest reading of that moment (0 before the
// first), for the chart to mark and the exports to hold.
using ChartNote = ReadingNote;

// The notes of the log in the window, oldest first; Reset and a new Start
// empty it with the log.
class NoteList {
 public:
  void add(std::int64_t reading, std::string text) { notes_.push_back({reading, std::move(text)}); }
  void clear() { notes_.clear(); }
  const std::vector<ChartNote>& notes() const { return notes_; }

 private:
  std::vector<ChartNote> notes_;
};

}  // namespace tarvo
