#include "files/atomic_file_stream.h"

#include <string_view>

namespace tarvo {

AtomicFileStream::Buffer::Buffer(AtomicFile& file) : file_(file) {
  setp(bytes_.data(), bytes_.data() + bytes_.size());
}

bool AtomicFileStream::Buffer::drain() {
  const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
  setp(bytes_.data(), bytes_.data() + bytes_.size());
  return pending.empty() || file_.write(pending);
}

AtomicFileStream::Buffer::int_type AtomicFileStream::Buffer::overflow(int_type c) {
  if (!drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int AtomicFileStream::Buffer::sync() {
  return drain() ? 0 : -1;
}

AtomicFileStream::AtomicFileStream(AtomicFile& file) : std::ostream(nullptr), buffer_(file) {
  rdbuf(&buffer_);
}

AtomicFileStream::~AtomicFileStream() {
  rdbuf(nullptr);
}

}  // namespace tarvo
