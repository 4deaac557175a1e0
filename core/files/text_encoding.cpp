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

}  // namespace

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

namespace {

bool is_high_surrogate(char16_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool is_low_surrogate(char16_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

std::string from_utf16(std::string_view bytes, bool big_endian) {
  std::string out;
  out.reserve(bytes.size() / 2);
  Utf16Decoder decoder(big_endian);
  decoder.feed(bytes, out);
  decoder.finish(out);
  return out;
}

}  // namespace

Gb18030Decoder::Gb18030Decoder() : handle_(iconv_open("UTF-8", "GB18030")) {}

Gb18030Decoder::~Gb18030Decoder() {
  if (ok()) iconv_close(static_cast<iconv_t>(handle_));
}

bool Gb18030Decoder::ok() const {
  return handle_ != reinterpret_cast<void*>(-1);
}

// Each byte iconv cannot take becomes U+FFFD and conversion goes on after it.
void Gb18030Decoder::convert(std::string_view bytes, std::string& out) {
  if (!ok()) {  // no conversion modules installed
    out += sanitised_utf8(bytes);
    return;
  }
  const auto converter = static_cast<iconv_t>(handle_);
  char chunk[4096];
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  while (in_left > 0) {
    char* dest = chunk;
    std::size_t dest_left = sizeof chunk;
    const std::size_t result = iconv(converter, &in, &in_left, &dest, &dest_left);
    out.append(chunk, static_cast<std::size_t>(dest - chunk));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += kReplacement;
      ++in;
      --in_left;
      iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
  }
}

namespace {

std::string from_gb18030(std::string_view bytes) {
  std::string out;
  Gb18030Decoder().convert(bytes, out);
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

Utf16Decoder::Utf16Decoder(bool big_endian) : big_endian_(big_endian) {}

bool Utf16Decoder::feed(std::string_view bytes, std::string& out) {
  for (const char byte : bytes) {
    if (ended_) return false;
    if (first_byte_ < 0) {
      first_byte_ = static_cast<unsigned char>(byte);
      continue;
    }
    const auto a = static_cast<unsigned>(first_byte_);
    const auto b = static_cast<unsigned char>(byte);
    first_byte_ = -1;
    take(static_cast<char16_t>(big_endian_ ? (a << 8) | b : (b << 8) | a), out);
  }
  return !ended_;
}

void Utf16Decoder::take(char16_t unit, std::string& out) {
  if (high_ != 0) {
    const char16_t high = high_;
    high_ = 0;
    if (is_low_surrogate(unit)) {
      append_code_point(out, 0x10000 + ((char32_t{high} - 0xD800) << 10) + (unit - 0xDC00));
      return;
    }
    out += kReplacement;
  }
  if (unit == 0) {
    ended_ = true;
  } else if (is_high_surrogate(unit)) {
    high_ = unit;
  } else if (is_low_surrogate(unit)) {
    out += kReplacement;
  } else {
    append_code_point(out, unit);
  }
}

void Utf16Decoder::finish(std::string& out) {
  if (high_ != 0) out += kReplacement;
  high_ = 0;
  ended_ = true;
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
