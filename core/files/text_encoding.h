#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// The text of a file as UTF-8, for readers of files that may come from another
// system. A byte-order mark decides the encoding (UTF-16 LE, UTF-16 BE, UTF-8);
// without one the bytes are taken as UTF-8 when they are valid UTF-8 and as
// GB18030 otherwise, which covers files saved on Chinese Windows in its legacy
// code page (and plain ASCII either way). A NUL character ends the text. Sequences that
// do not decode become U+FFFD, so the result is always valid UTF-8.
// The bytes are taken over, so text that is already UTF-8 is not copied.
std::string decode_file_text(std::string bytes);

// The same rules for a file read in pieces.
//
// UTF-16 bytes in pieces of any size: a NUL unit ends the text, a lone
// surrogate becomes U+FFFD, an odd byte at the end is dropped.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool big_endian);
  // Appends the UTF-8 of bytes to out; false once a NUL unit has ended the text.
  bool feed(std::string_view bytes, std::string& out);
  // The end of the bytes: a high surrogate still waiting becomes U+FFFD.
  void finish(std::string& out);

 private:
  void take(char16_t unit, std::string& out);

  bool big_endian_;
  int first_byte_ = -1;
  char16_t high_ = 0;
  bool ended_ = false;
};

// GB18030 to UTF-8, a byte that does not decode becoming U+FFFD. Holds its
// converter, so that a file read line by line opens it once.
class Gb18030Decoder {
 public:
  Gb18030Decoder();
  ~Gb18030Decoder();
  Gb18030Decoder(const Gb18030Decoder&) = delete;
  Gb18030Decoder& operator=(const Gb18030Decoder&) = delete;
  void convert(std::string_view bytes, std::string& out);

 private:
  bool ok() const;
  void* handle_;
};

// Text that should be UTF-8: every byte that is not part of a well-formed
// character becomes U+FFFD.
std::string sanitised_utf8(std::string_view text);

// True when every byte belongs to a complete, well-formed UTF-8 character.
bool is_valid_utf8(std::string_view text);

}  // namespace tarvo
