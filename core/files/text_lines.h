#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/byte_source.h"
#include "files/text_encoding.h"

namespace tarvo {

// How the bytes of a text file are read: chosen by its byte-order mark, or,
// without one, UTF-8 until a line proves otherwise (see TextLines).
enum class TextEncoding { Utf8Marked, Utf16Le, Utf16Be, Unmarked, Gb18030 };

// The lines of a text file read in pieces, as UTF-8, with the rules of
// decode_file_text: lines end at CR LF, a lone CR or a lone LF; a break at the
// very end does not start another line; a NUL character ends the text.
//
// Each line is kept to its first kKeptLineBytes bytes and the rest of it is
// passed over, so a file of one endless line costs no memory.
//
// A file without a byte-order mark is read as UTF-8; the first line that is
// not valid UTF-8 ends the reading with needs_gb18030(), and the caller reads
// the file again from the start as TextEncoding::Gb18030 (the legacy code
// page of Chinese Windows).
class TextLines {
 public:
  static constexpr std::size_t kKeptLineBytes = 4096;

  // encoding: nullopt to take it from the byte-order mark.
  TextLines(ByteSource& source, std::optional<TextEncoding> encoding = std::nullopt);

  // The next line, valid UTF-8; nullopt after the last one, on a read error
  // (failed()) and when the encoding must change (needs_gb18030()).
  std::optional<std::string_view> next();
  bool failed() const { return failed_; }
  bool needs_gb18030() const { return needs_gb18030_; }

 private:
  bool fill();
  bool fetch_text();
  void set_up_decoder();
  bool read_raw();
  void keep(std::string_view piece);
  std::optional<std::string_view> finished_line(std::string_view line);

  ByteSource& source_;
  std::optional<TextEncoding> encoding_;
  std::string raw_;
  std::string decoded_;
  std::string_view rest_;
  std::string line_;
  std::string converted_;
  bool line_cut_ = false;
  bool skip_lf_ = false;
  bool text_ended_ = false;
  bool failed_ = false;
  bool needs_gb18030_ = false;
  std::optional<Utf16Decoder> utf16_;
  std::optional<Gb18030Decoder> gb18030_;
};

}  // namespace tarvo
