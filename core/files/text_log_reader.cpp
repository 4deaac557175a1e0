#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>

#include "display/range_fields.h"
#include "files/text_encoding.h"
#include "files/text_log.h"

namespace tarvo {

namespace {

// Lines end at CR LF, a lone CR or a lone LF; a break at the very end of the
// text does not start another line.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  std::optional<std::string_view> next() {
    if (pos_ >= text_.size()) return std::nullopt;
    std::size_t end = pos_;
    while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
    const std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (end + 1 < text_.size() && text_[end] == '\r' && text_[end + 1] == '\n') ++pos_;
    return line;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

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
  const std::string_view range = split_main_range(r.Main_Range.view()).range_text;
  return scaled_decimal(range, decimal_separator) &&
         scaled_main_value(r.Main_No.view(), r.Main_Range.view(), decimal_separator);
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
  if (!converts(r, decimal_separator)) return std::nullopt;
  return r;
}

// The file is read whole; a read error refuses it like a bad file.
std::optional<std::string> read_file(const std::filesystem::path& file) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::fopen(file.c_str(), "rb"),
                                                               &std::fclose);
  if (!stream) return std::nullopt;
  std::error_code ec;
  const auto expected = std::filesystem::file_size(file, ec);
  // Asking for one byte more than the size finds the end, or a file that grew.
  std::size_t step = ec ? 65536 : static_cast<std::size_t>(expected) + 1;
  std::string bytes;
  std::size_t size = 0;
  for (;;) {
    bytes.resize(size + step);
    const std::size_t got = std::fread(bytes.data() + size, 1, step, stream.get());
    size += got;
    if (got < step) break;
    step = std::max<std::size_t>(size, 65536);
  }
  bytes.resize(size);
  if (std::ferror(stream.get())) return std::nullopt;
  return bytes;
}

std::optional<std::vector<real_Record>> parse_text(const std::string& text,
                                                   std::string_view decimal_separator,
                                                   const ExportProgress& progress) {
  LineReader lines(text);
  const std::optional<std::string_view> first = lines.next();
  const std::optional<std::int32_t> count = first ? parse_int32(*first) : std::nullopt;
  if (!count || *count < 1) return std::nullopt;

  // Every record line takes at least two characters, which bounds the
  // reservation whatever the count line claims.
  std::vector<real_Record> records;
  records.reserve(std::min(static_cast<std::size_t>(*count), text.size() / 2));
  ProgressTicker ticker(progress, *count);
  if (!ticker.start()) return std::nullopt;
  for (std::int32_t i = 0; i < *count; ++i) {
    const std::optional<std::string_view> line = lines.next();
    if (!line) return std::nullopt;
    std::optional<real_Record> record = parse_record(*line, decimal_separator);
    if (!record) return std::nullopt;
    records.push_back(std::move(*record));
    if (!ticker.record_done()) return std::nullopt;
  }
  if (!ticker.finish()) return std::nullopt;
  return records;
}

}  // namespace

std::optional<std::vector<real_Record>> ParseTextLog(std::string_view bytes,
                                                     std::string_view decimal_separator,
                                                     const ExportProgress& progress) {
  return parse_text(decode_file_text(std::string(bytes)), decimal_separator, progress);
}

std::optional<std::vector<real_Record>> LoadTextLog(const std::filesystem::path& file,
                                                    const std::string& decimal_separator,
                                                    const ExportProgress& progress) {
  if (file.empty()) return std::nullopt;
  std::optional<std::string> bytes = read_file(file);
  if (!bytes) return std::nullopt;
  return parse_text(decode_file_text(std::move(*bytes)), decimal_separator, progress);
}

}  // namespace tarvo
