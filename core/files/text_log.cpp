// A text log file, as written here and read back by text_log_reader.cpp:
//
//   line 1        N, the number of records, in decimal
//   lines 2..N+1  Index TAB Time TAB Main_No TAB Main_Range TAB Sub_No TAB Sub_range TAB
//   then          two empty lines, unless N is a multiple of 100
//
// Every line ends with CR LF. The texts are written exactly as stored (UTF-8,
// no byte-order mark): not trimmed, quoted or escaped. The records go to the
// file in blocks of 100 lines; the empty lines at the end belong to the format.

#include <charconv>

#include "files/atomic_file.h"
#include "files/text_log.h"

namespace tarvo {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::int64_t kLinesPerBlock = 100;

void append_field(std::string& line, std::string_view text) {
  line += text;
  line += '\t';
}

void append_record_line(std::string& out, const real_Record& r) {
  char index[24];
  const auto end = std::to_chars(std::begin(index), std::end(index), r.Index).ptr;
  append_field(out, std::string_view(index, static_cast<std::size_t>(end - index)));
  append_field(out, r.Time.view());
  append_field(out, r.Main_No.view());
  append_field(out, r.Main_Range.view());
  append_field(out, r.Sub_No.view());
  append_field(out, r.Sub_range.view());
  out += kLineEnd;
}

bool fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

}  // namespace

// The count is taken once, so that the count line agrees with the records
// written whatever the progress callback lets happen meanwhile.
bool WriteTextLog(const ReadingLog& log, const TextLogSink& sink, const ExportProgress& progress) {
  const std::int64_t count = log.count();
  ProgressTicker ticker(progress, count);
  std::string block = std::to_string(count);
  block += kLineEnd;
  if (!ticker.start() || !sink(block)) return false;
  block.clear();
  for (std::int64_t j = 1; j <= count; ++j) {
    append_record_line(block, log[j]);
    if (j % kLinesPerBlock == 0) {
      if (!sink(block)) return false;
      block.clear();
    }
    if (!ticker.record_done()) return false;
  }
  if (!block.empty()) {
    block += kLineEnd;
    block += kLineEnd;
    if (!sink(block)) return false;
  }
  return ticker.finish();
}

std::string TextLogBytes(const ReadingLog& log) {
  std::string bytes;
  WriteTextLog(log, [&bytes](std::string_view piece) {
    bytes += piece;
    return true;
  });
  return bytes;
}

bool SaveTextLog(const ReadingLog& log, const std::filesystem::path& file, std::string* error,
                 const ExportProgress& progress) {
  if (log.count() <= 0) return fail(error, "the log holds no readings");
  AtomicFile out(file);
  const auto sink = [&out](std::string_view piece) { return out.write(piece); };
  if (!out.ok()) return fail(error, out.error());
  if (!WriteTextLog(log, sink, progress)) {
    return fail(error, out.ok() ? std::string("the save was cancelled") : out.error());
  }
  return out.commit() || fail(error, out.error());
}

}  // namespace tarvo
