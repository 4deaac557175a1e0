#include "files/session_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "files/byte_source.h"
#include "files/record_sink.h"

namespace tarvo {

namespace {

constexpr std::string_view kVersionLine = "tarvo-session\t1";
constexpr std::string_view kReading = "reading";
constexpr std::string_view kGroup = "group";
constexpr std::int64_t kHeaderLines = 5;
constexpr std::string_view kEvent = "event";
// The flags field that may follow a reading's figures.
constexpr std::size_t kReadingFields = 12;
constexpr std::string_view kTestFrameFlag = "test";
constexpr std::size_t kLongestLine = 4096;
constexpr std::uint64_t kLargestSessionBytes = std::uint64_t{1} << 40;
// The summary looks at this much of the end of a file for its last reading,
// and when events alone fill it, at this much at most: a file whose end holds
// no reading (zeros left by a crashed file system, a sparse file) costs no
// more than that, whatever its size.
constexpr std::uint64_t kTailBytes = 64 * 1024;
constexpr std::uint64_t kFarthestTailBytes = 4 * 1024 * 1024;

constexpr std::string_view kEventNames[] = {"meter lost",     "meter back",  "stopped",   "saved",
                                            "outside limits", "alarm start", "alarm end", "note",
                                            "armed",          "triggered"};
constexpr std::size_t kEventDetails[] = {0, 0, 0, 1, 1, 4, 4, 1, 1, 1};
static_assert(std::size(kEventNames) == std::size(kEventDetails));

// The texts come from the decoders and never hold these, but a session line
// must stay one line whatever a text holds.
std::string escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string unescaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return out;
}

std::vector<std::string_view> fields_of(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

std::optional<std::int64_t> parse_int(std::string_view text) {
  std::int64_t value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string with_separator(std::string text, std::string_view from, std::string_view to) {
  if (from == to || from.empty()) return text;
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::optional<SessionEvent> event_named(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kEventNames); ++i) {
    if (kEventNames[i] == name) return static_cast<SessionEvent>(i);
  }
  return std::nullopt;
}

// Reads the header lines; false when a line is not the one expected there.
class HeaderReader {
 public:
  // Takes one line; true once the header is complete.
  bool take(std::string_view line, bool& bad) {
    const std::vector<std::string_view> f = fields_of(line);
    bad = true;
    switch (line_++) {
      case 0:
        bad = line != kVersionLine;
        break;
      case 1:
        bad = f.size() != 2 || f[0] != "started" || !parse_iso_local(f[1], header.started);
        break;
      case 2:
        bad = f.size() != 2 || f[0] != "family" || f[1].empty();
        if (!bad) header.family = f[1];
        break;
      case 3: {
        const auto n = f.size() == 2 && f[0] == "interval" ? parse_int(f[1]) : std::nullopt;
        bad = !n || *n < 1;
        if (!bad) header.interval = *n;
        break;
      }
      case 4:
        bad = f.size() != 2 || f[0] != "decimal" || f[1].empty();
        if (!bad) header.decimal_separator = unescaped(f[1]);
        break;
    }
    return line_ == 5;
  }
  // The optional line right after the header; false when the line is another.
  bool take_group(std::string_view line) {
    const std::vector<std::string_view> f = fields_of(line);
    if (f.size() != 2 || f[0] != kGroup || f[1].empty()) return false;
    header.group = unescaped(f[1]);
    return true;
  }
  SessionHeader header;

 private:
  int line_ = 0;
};

// The frames' figures: their count, then the minimum, maximum and mean, which
// are empty when no frame was a number; numbers with a "." whatever the
// separator of the texts, in the shortest form that reads back the same.
std::string figures_text(const FrameFigures& f) {
  std::string text = "\t" + std::to_string(f.count);
  for (const double value : {f.min, f.max, f.mean}) {
    text += '\t';
    if (f.numeric == 0) continue;
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    if (ec == std::errc()) text.append(digits, end);
  }
  return text;
}

std::optional<double> parse_double(std::string_view text) {
  double value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

bool parse_figures(const std::vector<std::string_view>& f, FrameFigures& out) {
  const std::optional<std::int64_t> count = parse_int(f[8]);
  if (!count || *count < 0 || *count > INT32_MAX) return false;
  out.count = static_cast<std::int32_t>(*count);
  if (f[9].empty() && f[10].empty() && f[11].empty()) return true;
  const auto min = parse_double(f[9]), max = parse_double(f[10]), mean = parse_double(f[11]);
  if (!min || !max || !mean || out.count == 0) return false;
  out.numeric = out.count;  // the file keeps no separate count of the numbers
  out.min = *min;
  out.max = *max;
  out.mean = *mean;
  return true;
}

// Flags are words joined by ","; a word this program does not know is left
// alone, so a later writer's flag does not refuse the file.
void parse_flags(std::string_view flags, real_Record& r) {
  while (!flags.empty()) {
    const std::size_t comma = flags.find(',');
    if (flags.substr(0, comma) == kTestFrameFlag) r.TestFrame = true;
    if (comma == std::string_view::npos) break;
    flags.remove_prefix(comma + 1);
  }
}

std::optional<real_Record> parse_reading(const std::vector<std::string_view>& f,
                                         std::string_view from, std::string_view to) {
  if (f.size() < kReadingFields || f.size() > kReadingFields + 1 || f[0] != kReading) {
    return std::nullopt;
  }
  const std::optional<std::int64_t> index = parse_int(f[1]);
  real_Record r;
  LocalTime when;
  if (!index || *index < 1 || !parse_iso_local(f[2], when)) return std::nullopt;
  r.Index = *index;
  r.DateTime = when;
  r.Dated = true;
  r.Time.assign(unescaped(f[3]));
  r.Main_No.assign(with_separator(unescaped(f[4]), from, to));
  r.Value = ReadingValue::of(r.Main_No.view());
  r.Main_Range.assign(with_separator(unescaped(f[5]), from, to));
  r.Sub_No.assign(with_separator(unescaped(f[6]), from, to));
  r.Sub_range.assign(with_separator(unescaped(f[7]), from, to));
  if (!parse_figures(f, r.Frames)) return std::nullopt;
  if (f.size() > kReadingFields) parse_flags(f[kReadingFields], r);
  return r;
}

bool parse_event(const std::vector<std::string_view>& f, SessionEventEntry& out) {
  if (f.size() < 3 || f[0] != kEvent || !parse_iso_local(f[1], out.when)) return false;
  const std::optional<SessionEvent> named = event_named(f[2]);
  if (!named || f.size() != 3 + session_event_details(*named)) return false;
  out.kind = *named;
  out.details.clear();
  for (std::size_t i = 3; i < f.size(); ++i) out.details.push_back(unescaped(f[i]));
  return true;
}

// The lines of a source, each with whether its line break was there.
class SessionLines {
 public:
  explicit SessionLines(ByteSource& source) : source_(source) {}

  // The next line; nullopt at the end or on a read error (failed()).
  std::optional<std::string_view> next(bool& ended) {
    for (;;) {
      const std::size_t lf = buffer_.find('\n', pos_);
      if (lf != std::string::npos) {
        ended = true;
        return take(lf, lf + 1);
      }
      if (at_end_) {
        if (pos_ == buffer_.size()) return std::nullopt;
        ended = false;
        return take(buffer_.size(), buffer_.size());
      }
      if (!refill()) return std::nullopt;
    }
  }
  bool failed() const { return failed_; }
  bool too_long() const { return too_long_; }
  std::uint64_t consumed() const { return consumed_; }

 private:
  std::string_view take(std::size_t end, std::size_t next) {
    line_.assign(buffer_, pos_, end - pos_);
    consumed_ += next - pos_;
    pos_ = next;
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    return line_;
  }
  bool refill() {
    buffer_.erase(0, pos_);
    pos_ = 0;
    if (buffer_.size() > kLongestLine) {
      too_long_ = true;
      return false;
    }
    const std::size_t had = buffer_.size();
    // A small file is read in one small piece, a large one in pieces of 1 MiB.
    const std::size_t piece = static_cast<std::size_t>(
        std::clamp<std::uint64_t>(source_.size_hint() + 1, kLongestLine, kPiece));
    buffer_.resize(had + piece);
    const std::optional<std::size_t> n = source_.read(buffer_.data() + had, piece);
    buffer_.resize(had + n.value_or(0));
    if (!n) failed_ = true;
    if (!n || *n == 0) at_end_ = true;
    return !failed_;
  }

  static constexpr std::size_t kPiece = 1 << 20;
  ByteSource& source_;
  std::string buffer_;
  std::string line_;
  std::size_t pos_ = 0;
  std::uint64_t consumed_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
  bool too_long_ = false;
};

SessionState state_after(bool stopped, bool saved) {
  if (saved) return SessionState::Saved;
  return stopped ? SessionState::Stopped : SessionState::Unfinished;
}

// A session's progress is told in its bytes, as readings of about this many:
// the dialog that shows it counts readings.
constexpr std::uint64_t kBytesPerReading = 100;
constexpr std::int64_t kLinesPerReport = 4096;

class SessionReader {
 public:
  SessionReader(ByteSource& source, std::string_view separator, RecordSink& records,
                const ExportProgress& progress, LoadError& error)
      : lines_(source),
        source_(source),
        separator_(separator),
        records_(records),
        progress_(progress),
        error_(error) {}

  std::optional<SessionContents> read() {
    SessionContents out;
    HeaderReader header;
    bool complete = false;
    records_.clear();
    if (!report()) return cancelled();
    for (std::int64_t number = 1;; ++number) {
      bool ended = false;
      const std::optional<std::string_view> line = lines_.next(ended);
      if (!line || !ended) break;  // a last line without its break was torn by a crash
      bool bad = false;
      if (!complete) {
        complete = header.take(*line, bad);
        if (complete) out.header = header.header;
      } else if (number == kHeaderLines + 1 && header.take_group(*line)) {
        out.header.group = header.header.group;
      } else {
        bad = !take_body(*line, out);
      }
      if (bad) {
        return refuse(LoadFailure::WrongFormat,
                      "line " + std::to_string(number) + " is not a session line");
      }
      if (number % kLinesPerReport == 0 && !report()) return cancelled();
    }
    if (lines_.failed())
      return refuse(LoadFailure::ReadFailed, "reading failed: " + source_.error());
    if (lines_.too_long())
      return refuse(LoadFailure::WrongFormat, "a line is too long for a session file");
    if (!complete) return refuse(LoadFailure::WrongFormat, "it is not a session file");
    if (!report()) return cancelled();
    out.state = state_after(stopped_, saved_);
    return out;
  }

 private:
  bool take_body(std::string_view line, SessionContents& out) {
    const std::vector<std::string_view> f = fields_of(line);
    if (f[0] == kReading) {
      std::optional<real_Record> r = parse_reading(f, out.header.decimal_separator, separator_);
      if (!r) return false;
      // The meter's first reading after its return follows a gap; a test
      // frame typed meanwhile does not close it.
      if (gap_ && !r->TestFrame) {
        r->AfterGap = true;
        gap_ = false;
      }
      records_.add(std::move(*r));
      saved_ = false;
      return true;
    }
    SessionEventEntry event;
    if (!parse_event(f, event)) return false;
    if (event.kind == SessionEvent::MeterBack) gap_ = true;
    if (event.kind == SessionEvent::Stopped) stopped_ = true;
    if (event.kind == SessionEvent::Saved) saved_ = true;
    out.events.emplace_back(event.kind, event.details.empty() ? std::string() : event.details[0]);
    out.event_entries.push_back(std::move(event));
    return true;
  }
  bool report() {
    if (!progress_) return true;
    const std::uint64_t total = std::max(source_.size_hint(), lines_.consumed());
    return progress_(static_cast<std::int64_t>(lines_.consumed() / kBytesPerReading),
                     static_cast<std::int64_t>(total / kBytesPerReading));
  }
  std::nullopt_t cancelled() { return refuse(LoadFailure::Cancelled, "the reading was cancelled"); }
  std::nullopt_t refuse(LoadFailure failure, std::string why) {
    error_ = LoadError{failure, std::move(why)};
    return std::nullopt;
  }

  SessionLines lines_;
  ByteSource& source_;
  std::string_view separator_;
  RecordSink& records_;
  const ExportProgress& progress_;
  LoadError& error_;
  bool stopped_ = false;
  bool saved_ = false;
  bool gap_ = false;
};

std::optional<SessionContents> read_from(ByteSource& source, std::string_view separator,
                                         RecordSink& records, const ExportProgress& progress,
                                         LoadError* error) {
  LoadError ignored;
  LoadError& why = error ? *error : ignored;
  try {
    return SessionReader(source, separator, records, progress, why).read();
  } catch (const std::bad_alloc&) {
    why = LoadError{LoadFailure::OutOfMemory, "its records do not fit the memory"};
    return std::nullopt;
  }
}

// The records of the session kept in its contents.
std::optional<SessionContents> read_listed(ByteSource& source, std::string_view separator,
                                           LoadError* error) {
  std::vector<real_Record> records;
  RecordListSink sink(records);
  std::optional<SessionContents> session = read_from(source, separator, sink, {}, error);
  if (session) session->records = std::move(records);
  return session;
}

// Complete lines of the bytes, the first one dropped when it may be cut.
std::vector<std::string_view> whole_lines(std::string_view bytes, bool from_start) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  if (!from_start) {
    const std::size_t lf = bytes.find('\n');
    pos = lf == std::string_view::npos ? bytes.size() : lf + 1;
  }
  for (std::size_t lf; (lf = bytes.find('\n', pos)) != std::string_view::npos; pos = lf + 1) {
    std::string_view line = bytes.substr(pos, lf - pos);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

enum class Links { Follow, Refuse };

// A regular file opened for reading without ever waiting: a FIFO or a device
// is passed over, and so is a link when links are refused (the list of the
// sessions folder refuses them: it never holds one of ours).
class SessionFd {
 public:
  SessionFd(const std::filesystem::path& file, Links links) {
    struct stat info {};
    const bool follow = links == Links::Follow;
    if ((follow ? ::stat(file.c_str(), &info) : ::lstat(file.c_str(), &info)) != 0 ||
        !S_ISREG(info.st_mode)) {
      return;
    }
    fd_ = ::open(file.c_str(),
                 O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
    if (fd_ >= 0 && (::fstat(fd_, &info_) != 0 || !S_ISREG(info_.st_mode))) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~SessionFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  SessionFd(const SessionFd&) = delete;
  SessionFd& operator=(const SessionFd&) = delete;

  bool open() const { return fd_ >= 0; }
  std::uint64_t size() const { return static_cast<std::uint64_t>(info_.st_size); }
  // The blocks it holds, but never more than its length: a sparse file costs
  // only what was written, and a short one no more than its bytes.
  std::uint64_t disk_bytes() const {
    return std::min(size(), static_cast<std::uint64_t>(info_.st_blocks) * 512);
  }

  // The bytes from..from+size, fewer at the end of the file or on an error.
  std::string read(std::uint64_t from, std::uint64_t size) const {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
      const ssize_t n =
          ::pread(fd_, bytes.data() + got, bytes.size() - got, static_cast<off_t>(from + got));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
  }

 private:
  int fd_ = -1;
  struct stat info_ {};
};

// The last reading of the tail and the events after it.
bool summarize_tail(std::string_view tail, bool from_start, SessionSummary& out) {
  bool stopped = false, saved = false, found = false;
  for (const std::string_view line : whole_lines(tail, from_start)) {
    const std::vector<std::string_view> f = fields_of(line);
    if (std::optional<real_Record> r = parse_reading(f, ".", ".")) {
      out.readings = r->Index;
      out.last_reading = r->DateTime;
      stopped = saved = false;
      found = true;
      continue;
    }
    SessionEventEntry event;
    if (!parse_event(f, event)) continue;
    stopped = stopped || event.kind == SessionEvent::Stopped;
    saved = saved || event.kind == SessionEvent::Saved;
  }
  out.state = state_after(stopped, saved);
  return found;
}

}  // namespace

std::string_view session_state_name(SessionState state) {
  switch (state) {
    case SessionState::Unfinished:
      return "unfinished";
    case SessionState::Stopped:
      return "stopped";
    case SessionState::Saved:
      return "saved";
  }
  return "unfinished";
}

std::string session_header_text(const SessionHeader& h) {
  std::string text(kVersionLine);
  text += "\nstarted\t" + format_iso_offset(h.started) + "\nfamily\t" + escaped(h.family) +
          "\ninterval\t" + std::to_string(h.interval) + "\ndecimal\t" +
          escaped(h.decimal_separator) + "\n";
  // Older programs refuse a line they do not know: a session of no group is
  // written as before.
  if (!h.group.empty()) text += std::string(kGroup) + "\t" + escaped(h.group) + "\n";
  return text;
}

std::string session_reading_line(const real_Record& r) {
  std::string line(kReading);
  line += '\t' + std::to_string(r.Index) + '\t' + format_iso_offset(r.DateTime);
  for (const std::string_view text : {r.Time.view(), r.Main_No.view(), r.Main_Range.view(),
                                      r.Sub_No.view(), r.Sub_range.view()}) {
    line += '\t';
    line += escaped(text);
  }
  line += figures_text(r.Frames);
  if (r.TestFrame) {
    line += '\t';
    line += kTestFrameFlag;
  }
  line += '\n';
  return line;
}

std::size_t session_event_details(SessionEvent event) {
  return kEventDetails[static_cast<std::size_t>(event)];
}

std::string session_event_line(SessionEvent event, const LocalTime& when, std::string_view detail) {
  if (session_event_details(event) == 0)
    return session_event_line(event, when, std::vector<std::string>{});
  return session_event_line(event, when, std::vector<std::string>{std::string(detail)});
}

std::string session_event_line(SessionEvent event, const LocalTime& when,
                               const std::vector<std::string>& details) {
  std::string line(kEvent);
  line += '\t' + format_iso_local(when) + '\t' + std::string(kEventNames[static_cast<int>(event)]);
  // A missing field is written empty, so the line always reads back.
  for (std::size_t i = 0; i < session_event_details(event); ++i) {
    line += '\t';
    if (i < details.size()) line += escaped(details[i]);
  }
  line += '\n';
  return line;
}

std::optional<SessionContents> ReadSession(const std::filesystem::path& file,
                                           std::string_view decimal_separator, LoadError* error) {
  FileSource source(file, kLargestSessionBytes);
  if (source.failure() != OpenFailure::None) {
    if (error) *error = LoadError{load_failure_of(source.failure()), source.error()};
    return std::nullopt;
  }
  return read_listed(source, decimal_separator, error);
}

std::optional<SessionContents> ReadSessionRecords(const std::filesystem::path& file,
                                                  std::string_view decimal_separator,
                                                  RecordSink& records,
                                                  const ExportProgress& progress,
                                                  LoadError* error) {
  FileSource source(file, kLargestSessionBytes);
  if (source.failure() != OpenFailure::None) {
    if (error) *error = LoadError{load_failure_of(source.failure()), source.error()};
    return std::nullopt;
  }
  return read_from(source, decimal_separator, records, progress, error);
}

std::optional<SessionContents> ParseSession(std::string_view bytes,
                                            std::string_view decimal_separator, LoadError* error) {
  MemorySource source(bytes);
  return read_listed(source, decimal_separator, error);
}

bool LooksLikeSession(const std::filesystem::path& file) {
  const SessionFd in(file, Links::Follow);  // a file the user chose
  if (!in.open()) return false;
  const std::string first = in.read(0, kVersionLine.size() + 1);
  return first.size() == kVersionLine.size() + 1 && first.starts_with(kVersionLine) &&
         (first.back() == '\n' || first.back() == '\r');
}

std::optional<SessionSummary> SummarizeSession(const std::filesystem::path& file) {
  const SessionFd in(file, Links::Refuse);
  if (!in.open()) return std::nullopt;
  const std::uint64_t size = in.size();

  SessionSummary out;
  out.path = file;
  out.bytes = size;
  out.disk_bytes = in.disk_bytes();
  HeaderReader header;
  bool complete = false, bad = false;
  const std::string head = in.read(0, std::min<std::uint64_t>(size, kLongestLine));
  for (const std::string_view line : whole_lines(head, true)) {
    if (complete) {
      header.take_group(line);
      break;
    }
    complete = header.take(line, bad);
    if (bad) break;
  }
  if (!complete) return std::nullopt;
  out.header = header.header;

  const std::uint64_t from = size > kTailBytes ? size - kTailBytes : 0;
  if (!summarize_tail(in.read(from, size - from), from == 0, out) && from > 0) {
    // Events alone fill the tail: a longer one tells where the last reading is.
    const std::uint64_t farther = size > kFarthestTailBytes ? size - kFarthestTailBytes : 0;
    summarize_tail(in.read(farther, size - farther), farther == 0, out);
  }
  return out;
}

}  // namespace tarvo
