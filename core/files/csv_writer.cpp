#include "files/csv_writer.h"

#include "files/utf_text.h"

namespace tarvo {

namespace {

constexpr std::size_t kFlushBytes = std::size_t{1} << 16;

void append_title_line(std::string& out, const NoteColumn& notes) {
  for (std::size_t c = 0; c < kSheetColumns; ++c) {
    if (c > 0) out += ',';
    append_csv_field(out, column_title(c));
  }
  for (std::size_t c = 0; c < kTypedColumns; ++c) {
    out += ',';
    append_csv_field(out, typed_column_title(c));
  }
  if (!notes.empty()) {
    out += ',';
    append_csv_field(out, notes.title());
  }
  out += "\r\n";
}

// Reading n of the log; its notes are found by that number, whatever its index.
void append_record_line(std::string& out, const real_Record& record, std::int64_t n,
                        std::string_view decimal_separator, const NoteColumn& notes) {
  out += std::to_string(record.Index);
  for (std::size_t c = 1; c < kSheetColumns; ++c) {
    out += ',';
    append_csv_field(out, text_cell(record, c));
  }
  const TypedCells cells = typed_cells(record, decimal_separator);
  for (const std::string_view field :
       {std::string_view(cells.date_time), std::string_view(cells.value_text),
        std::string_view(cells.unit), std::string_view(cells.overload ? "1" : "0"),
        std::string_view(cells.sub_value_text), std::string_view(cells.sub_unit),
        std::string_view(cells.frames), std::string_view(cells.frame_texts[0]),
        std::string_view(cells.frame_texts[1]), std::string_view(cells.frame_texts[2]),
        cells.event}) {
    out += ',';
    append_csv_field(out, field);
  }
  if (!notes.empty()) {
    out += ',';
    append_csv_field(out, notes.text_at(n));
  }
  out += "\r\n";
}

}  // namespace

void append_csv_field(std::string& line, std::string_view text) {
  const std::size_t start = line.size();
  append_valid_utf8(line, text);
  if (line.find_first_of(",\"\r\n", start) == std::string::npos) return;
  const std::string field = line.substr(start);
  line.resize(start);
  line += '"';
  for (const char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

bool write_csv(const ReadingLog& log, std::ostream& out, const ExportProgress& progress,
               std::string& error, std::string_view decimal_separator, const NoteColumn& notes) {
  ProgressTicker ticker(progress, log.count());
  bool go_on = ticker.start();
  std::string buffer = "\xEF\xBB\xBF";
  append_title_line(buffer, notes);
  for (std::int64_t n = 1; go_on && out && n <= log.count(); ++n) {
    append_record_line(buffer, log[n], n, decimal_separator, notes);
    if (buffer.size() >= kFlushBytes) {
      out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      buffer.clear();
    }
    go_on = ticker.record_done();
  }
  if (!go_on || !ticker.finish()) {
    error = "cancelled";
    return false;
  }
  out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  out.flush();
  if (!out) {
    error = "the file could not be written";
    return false;
  }
  return true;
}

}  // namespace tarvo
