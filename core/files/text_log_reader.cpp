#include <algorithm>
#include <charconv>
#include <new>

#include "files/byte_source.h"
#include "files/record_sink.h"
#include "files/text_lines.h"
#include "files/text_log.h"
#include "log/range_fields.h"
#include "log/reading_value.h"

namespace tarvo {

namespace {

// A decimal integer of 32 bits: an optional sign and digits, nothing else.
std::optional<std::int32_t> parse_int32(std::string_view text) {
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return std::nullopt;
  }
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

// The text after the index is read no further than its 100th character.
constexpr std::size_t kKeptChars = 100;

std::string_view cut_chars(std::string_view text, std::size_t chars) {
  if (text.size() <= chars) return text;
  std::size_t pos = 0;
  for (; chars > 0 && pos < text.size(); --chars) pos += utf8_char_length(text, pos);
  return text.substr(0, pos);
}

// The field before the next TAB, trimmed; a field that no TAB follows is empty
// and leaves the rest as it was.
std::string_view take_field(std::string_view& rest) {
  const std::size_t tab = rest.find('\t');
  if (tab == std::string_view::npos) return {};
  const std::string_view field = rest.substr(0, tab);
  rest.remove_prefix(tab + 1);
  return trim_controls(field);
}

// An overload stands at the full scale of its range and any other main number
// must be a number. Every range text must convert too, so that the chart can
// scale whichever page of the opened log it shows.
bool converts(const real_Record& r, std::string_view decimal_separator) {
  return plotted_value(r, decimal_separator).has_value();
}

std::optional<real_Record> parse_record(std::string_view line, std::string_view decimal_separator) {
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  const std::optional<std::int32_t> index = parse_int32(line.substr(0, tab));
  if (!index) return std::nullopt;

  std::string_view rest = cut_chars(line.substr(tab + 1), kKeptChars);
  real_Record r;
  r.Index = *index;
  r.Time.assign(take_field(rest));
  r.Main_No.assign(take_field(rest));
  r.Main_Range.assign(take_field(rest));
  r.Sub_No.assign(take_field(rest));
  r.Sub_range.assign(take_field(rest));
  r.Value = ReadingValue::of(r.Main_No.view());
  if (!converts(r, decimal_separator)) return std::nullopt;
  return r;
}

// Every record line takes at least three bytes (an index digit, a TAB and a
// line break), which bounds what a count line can make the reader expect.
std::uint64_t most_records(std::int32_t count, std::uint64_t size_hint) {
  return std::min<std::uint64_t>(static_cast<std::uint64_t>(count), size_hint / 3);
}

enum class Pass { Done, Refused, AgainAsGb18030 };

class RecordReader {
 public:
  RecordReader(ByteSource& source, std::string_view decimal_separator,
               const ExportProgress& progress, LoadError& error)
      : source_(source), separator_(decimal_separator), progress_(progress), error_(error) {}

  Pass read(std::optional<TextEncoding> encoding, RecordSink& records) {
    TextLines lines(source_, encoding);
    const std::optional<std::string_view> first = lines.next();
    const std::optional<std::int32_t> count = first ? parse_int32(*first) : std::nullopt;
    if (!count || *count < 1) return refuse_line(lines, "line 1 is not a record count");
    records.clear();
    records.expect(most_records(*count, source_.size_hint()));
    ProgressTicker ticker(progress_, *count);
    if (!ticker.start()) return cancelled();
    for (std::int32_t i = 0; i < *count; ++i) {
      const std::optional<std::string_view> line = lines.next();
      if (!line) {
        return refuse_line(lines, "the file ends after " + std::to_string(i) + " of the " +
                                      std::to_string(*count) + " records its first line announces");
      }
      std::optional<real_Record> record = parse_record(*line, separator_);
      if (!record) {
        return refuse(LoadFailure::WrongFormat,
                      "line " + std::to_string(std::int64_t{i} + 2) + " is not a valid record");
      }
      records.add(std::move(*record));
      if (!ticker.record_done()) return cancelled();
    }
    return ticker.finish() ? Pass::Done : cancelled();
  }

 private:
  // A line that did not come: the end of the text, a read error or a change
  // of encoding, which is no refusal.
  Pass refuse_line(const TextLines& lines, std::string why) {
    if (lines.needs_gb18030()) return Pass::AgainAsGb18030;
    if (lines.failed())
      return refuse(LoadFailure::ReadFailed, "reading failed: " + source_.error());
    return refuse(LoadFailure::WrongFormat, std::move(why));
  }
  Pass cancelled() { return refuse(LoadFailure::Cancelled, "the reading was cancelled"); }
  Pass refuse(LoadFailure failure, std::string why) {
    error_ = LoadError{failure, std::move(why)};
    return Pass::Refused;
  }

  ByteSource& source_;
  std::string_view separator_;
  const ExportProgress& progress_;
  LoadError& error_;
};

// Read as UTF-8 first when there is no byte-order mark, and once more from the
// start in the legacy code page when a line is not UTF-8.
bool read_records(ByteSource& source, std::string_view decimal_separator,
                  const ExportProgress& progress, LoadError& error, RecordSink& records) {
  RecordReader reader(source, decimal_separator, progress, error);
  try {
    Pass pass = reader.read(std::nullopt, records);
    if (pass == Pass::AgainAsGb18030) {
      if (!source.rewind()) {
        error = LoadError{LoadFailure::ReadFailed, "reading failed: " + source.error()};
        return false;
      }
      pass = reader.read(TextEncoding::Gb18030, records);
    }
    if (pass != Pass::Done) return false;
  } catch (const std::bad_alloc&) {
    error = LoadError{LoadFailure::OutOfMemory, "its records do not fit the memory"};
    return false;
  }
  return true;
}

std::optional<std::vector<real_Record>> read_record_list(ByteSource& source,
                                                         std::string_view decimal_separator,
                                                         const ExportProgress& progress,
                                                         LoadError& error) {
  std::vector<real_Record> records;
  RecordListSink sink(records);
  if (!read_records(source, decimal_separator, progress, error, sink)) return std::nullopt;
  return records;
}

}  // namespace

LoadFailure load_failure_of(OpenFailure failure) {
  switch (failure) {
    case OpenFailure::None:
      return LoadFailure::None;
    case OpenFailure::Missing:
      return LoadFailure::Missing;
    case OpenFailure::NoPermission:
      return LoadFailure::NoPermission;
    case OpenFailure::NotRegularFile:
      return LoadFailure::NotRegularFile;
    case OpenFailure::TooLarge:
      return LoadFailure::TooLarge;
    case OpenFailure::Other:
      break;
  }
  return LoadFailure::ReadFailed;
}

std::optional<std::vector<real_Record>> ParseTextLog(std::string_view bytes,
                                                     std::string_view decimal_separator,
                                                     const ExportProgress& progress,
                                                     LoadError* error) {
  LoadError ignored;
  MemorySource source(bytes);
  return read_record_list(source, decimal_separator, progress, error ? *error : ignored);
}

std::optional<std::vector<real_Record>> LoadTextLog(const std::filesystem::path& file,
                                                    const std::string& decimal_separator,
                                                    const ExportProgress& progress,
                                                    LoadError* error) {
  std::vector<real_Record> records;
  RecordListSink sink(records);
  if (!ReadTextLogRecords(file, decimal_separator, sink, progress, error)) return std::nullopt;
  return records;
}

bool ReadTextLogRecords(const std::filesystem::path& file, std::string_view decimal_separator,
                        RecordSink& records, const ExportProgress& progress, LoadError* error) {
  LoadError ignored;
  LoadError& why = error ? *error : ignored;
  FileSource source(file, kLargestTextLogBytes);
  if (source.failure() == OpenFailure::None) {
    return read_records(source, decimal_separator, progress, why, records);
  }
  why = LoadError{load_failure_of(source.failure()), source.error()};
  return false;
}

}  // namespace tarvo
