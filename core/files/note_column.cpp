#include "files/note_column.h"

#include <algorithm>

namespace tarvo {

NoteColumn::NoteColumn(std::string title, const std::vector<ReadingNote>& notes,
                       std::int64_t readings)
    : title_(std::move(title)) {
  if (readings < 1) return;
  std::vector<ReadingNote> placed;
  placed.reserve(notes.size());
  for (const ReadingNote& note : notes) {
    placed.push_back({std::clamp<std::int64_t>(note.reading, 1, readings), note.text});
  }
  // Stable: the notes of one reading keep the order they were made in.
  std::ranges::stable_sort(placed, {}, &ReadingNote::reading);
  for (ReadingNote& note : placed) {
    if (!cells_.empty() && cells_.back().reading == note.reading) {
      cells_.back().text += "; ";
      cells_.back().text += note.text;
    } else {
      cells_.push_back(std::move(note));
    }
  }
}

std::string_view NoteColumn::text_at(std::int64_t reading) const {
  const auto found = std::ranges::lower_bound(cells_, reading, {}, &ReadingNote::reading);
  if (found == cells_.end() || found->reading != reading) return {};
  return found->text;
}

}  // namespace tarvo
