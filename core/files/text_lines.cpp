#include "files/text_lines.h"

#include "log/fixed_text.h"

namespace tarvo {

namespace {

constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// The encoding a byte-order mark names, the mark taken off the bytes.
TextEncoding take_mark(std::string_view& bytes) {
  if (bytes.starts_with(kUtf16LeMark)) {
    bytes.remove_prefix(kUtf16LeMark.size());
    return TextEncoding::Utf16Le;
  }
  if (bytes.starts_with(kUtf16BeMark)) {
    bytes.remove_prefix(kUtf16BeMark.size());
    return TextEncoding::Utf16Be;
  }
  if (bytes.starts_with(kUtf8Mark)) {
    bytes.remove_prefix(kUtf8Mark.size());
    return TextEncoding::Utf8Marked;
  }
  return TextEncoding::Unmarked;
}

// Where the first CR or LF stands, or the size when there is none.
std::size_t line_break_in(std::string_view text) {
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  for (const char* p = begin; p != end; ++p) {
    if (*p == '\n' || *p == '\r') return static_cast<std::size_t>(p - begin);
  }
  return text.size();
}

bool is_utf16(TextEncoding e) {
  return e == TextEncoding::Utf16Le || e == TextEncoding::Utf16Be;
}

}  // namespace

TextLines::TextLines(ByteSource& source, std::optional<TextEncoding> encoding)
    : source_(source), encoding_(encoding) {
  if (encoding_) set_up_decoder();
}

// Sets up the decoder of the encoding once it is known.
void TextLines::set_up_decoder() {
  if (is_utf16(*encoding_)) utf16_.emplace(*encoding_ == TextEncoding::Utf16Be);
  if (*encoding_ == TextEncoding::Gb18030) gb18030_.emplace();
}

// A whole piece, or what is left before the end of the file.
bool TextLines::read_raw() {
  raw_.resize(kChunkBytes);
  std::size_t size = 0;
  while (size < raw_.size()) {
    const std::optional<std::size_t> got = source_.read(raw_.data() + size, raw_.size() - size);
    if (!got) {
      failed_ = true;
      return false;
    }
    if (*got == 0) break;
    size += *got;
  }
  raw_.resize(size);
  return true;
}

bool TextLines::fetch_text() {
  if (!read_raw()) return false;
  std::string_view bytes = raw_;
  if (!encoding_) {
    encoding_ = take_mark(bytes);
    set_up_decoder();
  }
  if (raw_.empty()) {
    text_ended_ = true;
    if (!utf16_) return false;
    decoded_.clear();
    utf16_->finish(decoded_);
    rest_ = decoded_;
    return true;
  }
  if (utf16_) {
    decoded_.clear();
    if (!utf16_->feed(bytes, decoded_)) text_ended_ = true;
    rest_ = decoded_;
    return true;
  }
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) {
    bytes = bytes.substr(0, nul);
    text_ended_ = true;
  }
  rest_ = bytes;
  return true;
}

bool TextLines::fill() {
  while (rest_.empty()) {
    if (text_ended_ || failed_ || !fetch_text()) return false;
  }
  return true;
}

void TextLines::keep(std::string_view piece) {
  const std::size_t room = kKeptLineBytes - line_.size();
  if (piece.size() > room) {
    piece = piece.substr(0, room);
    line_cut_ = true;
  }
  line_.append(piece);
}

std::optional<std::string_view> TextLines::next() {
  if (needs_gb18030_) return std::nullopt;
  line_.clear();
  line_cut_ = false;
  bool started = false;
  for (;;) {
    if (!fill()) {
      if (failed_ || !started) return std::nullopt;
      return finished_line(line_);
    }
    if (skip_lf_) {
      skip_lf_ = false;
      if (rest_.front() == '\n') {
        rest_.remove_prefix(1);
        continue;
      }
    }
    started = true;
    const std::size_t end = line_break_in(rest_);
    if (end == rest_.size()) {
      keep(rest_);
      rest_ = {};
      continue;
    }
    // A line that lies whole in the piece is not copied.
    const std::string_view whole = line_.empty() ? rest_.substr(0, end) : std::string_view();
    if (whole.empty()) keep(rest_.substr(0, end));
    skip_lf_ = rest_[end] == '\r';
    rest_.remove_prefix(end + 1);
    return finished_line(whole.empty() ? std::string_view(line_) : whole);
  }
}

std::optional<std::string_view> TextLines::finished_line(std::string_view line) {
  // The reader looks at no more of a line than it keeps of a long one.
  if (*encoding_ == TextEncoding::Gb18030) {
    converted_.clear();
    gb18030_->convert(line.substr(0, kKeptLineBytes), converted_);
    return converted_;
  }
  // A cut line may end inside a character, which is not an encoding error.
  if (line_cut_ || line.size() > kKeptLineBytes) line = cut_utf8(line, kKeptLineBytes);
  if (is_utf16(*encoding_) || is_valid_utf8(line)) return line;
  if (*encoding_ == TextEncoding::Unmarked) {
    needs_gb18030_ = true;
    return std::nullopt;
  }
  converted_ = sanitised_utf8(line);
  return converted_;
}

}  // namespace tarvo
