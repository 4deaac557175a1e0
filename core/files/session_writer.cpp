#include "files/session_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace tarvo {

namespace {

std::string system_reason() {
  return std::strerror(errno);
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool sync_data(int fd) {
#if defined(__APPLE__)
  return ::fsync(fd) == 0;
#else
  return ::fdatasync(fd) == 0;
#endif
}

// The length up to and with the last line break: what a crash left whole.
off_t whole_length(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return -1;
  char c = 0;
  for (off_t end = info.st_size; end > 0; --end) {
    if (::pread(fd, &c, 1, end - 1) != 1) return -1;
    if (c == '\n') return end;
  }
  return 0;
}

}  // namespace

std::unique_ptr<SessionWriter> SessionWriter::create(const std::filesystem::path& file,
                                                     std::string_view head, std::string* why) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) {
    if (why) *why = system_reason();
    return nullptr;
  }
  ::flock(fd, LOCK_EX | LOCK_NB);
  std::unique_ptr<SessionWriter> writer(new SessionWriter(fd, file));
  if (!writer->append(head)) {
    if (why) *why = writer->failure();
    writer.reset();
    ::unlink(file.c_str());  // a file without its header is no session
  }
  return writer;
}

std::unique_ptr<SessionWriter> SessionWriter::reopen(const std::filesystem::path& file,
                                                     std::string* why) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    if (why) *why = system_reason();
    return nullptr;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (why) *why = "another run of the program is writing it";
    ::close(fd);
    return nullptr;
  }
  // Reading needs its own descriptor: the one kept open only writes.
  const int reader = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  const off_t whole = reader >= 0 ? whole_length(reader) : -1;
  if (reader >= 0) ::close(reader);
  if (whole < 0 || ::ftruncate(fd, whole) != 0) {
    if (why) *why = system_reason();
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<SessionWriter>(new SessionWriter(fd, file));
}

SessionWriter::~SessionWriter() {
  if (fd_ >= 0) ::close(fd_);
}

bool SessionWriter::append(std::string_view line) {
  if (failed()) return false;
  if (write_all(fd_, line) && sync_data(fd_)) return true;
  failure_ = system_reason();
  if (failure_.empty()) failure_ = "the write failed";
  return false;
}

bool session_in_use(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

bool session_recording(const SessionSummary& summary) {
  return summary.state == SessionState::Unfinished && session_in_use(summary.path);
}

}  // namespace tarvo
