#include "files/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "log/fixed_text.h"

namespace tarvo {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool is_ascii(char c) {
  return static_cast<unsigned char>(c) < 0x80;
}

void append_code_point(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string sanitised_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = utf8_char_length(text, pos);
    if (length == 1 && !is_ascii(text[pos])) {
      out += kReplacement;
    } else {
      out += text.substr(pos, length);
    }
    pos += length;
  }
  return out;
}

class Utf16Units {
 public:
  Utf16Units(std::string_view bytes, bool big_endian) : bytes_(bytes), big_endian_(big_endian) {}
  bool done() const { return pos_ + 2 > bytes_.size(); }
  char16_t peek() const {
    const auto a = static_cast<unsigned char>(bytes_[pos_]);
    const auto b = static_cast<unsigned char>(bytes_[pos_ + 1]);
    return static_cast<char16_t>(big_endian_ ? (a << 8) | b : (b << 8) | a);
  }
  void next() { pos_ += 2; }

 private:
  std::string_view bytes_;
  bool big_endian_;
  std::size_t pos_ = 0;
};

bool is_high_surrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool is_low_surrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// A lone surrogate becomes U+FFFD; an odd byte at the end is dropped.
std::string from_utf16(std::string_view bytes, bool big_endian) {
  std::string out;
  out.reserve(bytes.size() / 2);
  Utf16Units units(bytes, big_endian);
  while (!units.done()) {
    const char16_t unit = units.peek();
    units.next();
    if (unit == 0) break;
    if (is_high_surrogate(unit) && !units.done() && is_low_surrogate(units.peek())) {
      const char16_t low = units.peek();
      units.next();
      append_code_point(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (low - 0xDC00));
    } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
      out += kReplacement;
    } else {
      append_code_point(out, unit);
    }
  }
  return out;
}

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(handle_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

// Each byte iconv cannot take becomes U+FFFD and conversion goes on after it.
std::string from_gb18030(std::string_view bytes) {
  const Iconv converter("UTF-8", "GB18030");
  if (!converter.ok()) return sanitised_utf8(bytes);  // no conversion modules installed
  std::string out;
  char chunk[4096];
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  while (in_left > 0) {
    char* dest = chunk;
    std::size_t dest_left = sizeof chunk;
    const std::size_t result = iconv(converter.get(), &in, &in_left, &dest, &dest_left);
    out.append(chunk, static_cast<std::size_t>(dest - chunk));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += kReplacement;
      ++in;
      --in_left;
      iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace

bool is_valid_utf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    if (is_ascii(text[pos])) {
      ++pos;
      continue;
    }
    const std::size_t length = utf8_char_length(text, pos);
    if (length == 1) return false;
    pos += length;
  }
  return true;
}

std::string decode_file_text(std::string bytes) {
  const std::string_view view = bytes;
  if (view.starts_with(kUtf16LeMark)) return from_utf16(view.substr(2), false);
  if (view.starts_with(kUtf16BeMark)) return from_utf16(view.substr(2), true);
  const bool utf8_mark = view.starts_with(kUtf8Mark);
  bytes.resize(std::min(bytes.size(), bytes.find('\0')));
  if (utf8_mark) bytes.erase(0, kUtf8Mark.size());
  if (is_valid_utf8(bytes)) return bytes;
  return utf8_mark ? sanitised_utf8(bytes) : from_gb18030(bytes);
}

}  // namespace tarvo
