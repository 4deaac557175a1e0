#include "files/session_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// The length up to and with the last line break: what a crash left whole. A
// torn line is never longer than the longest session line, so a file whose
// last megabyte holds no line break is no session to add to (-1).
off_t whole_length(int fd) {
  constexpr off_t kPiece = 64 * 1024, kFarthest = 1024 * 1024;
  struct stat info {};
  if (::fstat(fd, &info) != 0) return -1;
  char piece[kPiece];
  for (off_t end = info.st_size; end > 0 && info.st_size - end < kFarthest;) {
    const off_t from = std::max<off_t>(0, end - kPiece);
    const ssize_t n = ::pread(fd, piece, static_cast<std::size_t>(end - from), from);
    if (n != end - from) return -1;
    for (off_t i = n; i > 0; --i) {
      if (piece[i - 1] == '\n') return from + i;
    }
    end = from;
  }
  return info.st_size == 0 ? 0 : -1;
}

void sync_folder_of(const std::filesystem::path& file) {
  const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool make_folder(const std::filesystem::path& folder, std::string& why) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return true;
    why = folder.string() + ": it is not a folder";
    return false;
  }
  const std::filesystem::path parent = folder.parent_path();
  if (!parent.empty() && parent != folder && !make_folder(parent, why)) return false;
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    why = folder.string() + ": " + system_reason();
    return false;
  }
  sync_folder_of(folder);
  return true;
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
    return writer;
  }
  // Without this the new name may be lost on a power cut, with every reading
  // written under it.
  sync_folder_of(file);
  return writer;
}

std::unique_ptr<SessionWriter> SessionWriter::reopen(const std::filesystem::path& file,
                                                     std::string* why) {
  // Not blocking: a FIFO put in the file's place must not hang the program.
  const int fd =
      ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    if (why) *why = system_reason();
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (why) *why = "it is not a regular file";
    ::close(fd);
    return nullptr;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (why) *why = "another run of the program is writing it";
    ::close(fd);
    return nullptr;
  }
  // Reading needs its own descriptor: the one kept open only writes.
  const int reader = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  const std::string unreadable = reader < 0 ? system_reason() : std::string();
  const off_t whole = reader >= 0 ? whole_length(reader) : -1;
  if (reader >= 0) ::close(reader);
  if (whole < 0 || ::ftruncate(fd, whole) != 0) {
    const std::string torn = whole < 0 ? "its end is not that of a session file" : system_reason();
    if (why) *why = unreadable.empty() ? torn : unreadable;
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<SessionWriter>(new SessionWriter(fd, file));
}

SessionWriter::~SessionWriter() {
  if (fd_ >= 0) ::close(fd_);
}

bool SessionWriter::append(std::string_view lines) {
  if (cut_at_ >= 0 && !cut_back()) return fail();
  struct stat info {};
  if (::fstat(fd_, &info) != 0) return fail();
  if (write_all(fd_, lines) && sync_data(fd_)) {
    failure_.clear();
    return true;
  }
  // A line cut short would be followed by the next one and spoil the file:
  // what this append left is taken off again, now or before the next one.
  const std::string why = system_reason();
  cut_at_ = info.st_size;
  cut_back();
  failure_ = why;
  return false;
}

bool SessionWriter::cut_back() {
  if (::ftruncate(fd_, static_cast<off_t>(cut_at_)) != 0) return false;
  cut_at_ = -1;
  return true;
}

bool SessionWriter::fail() {
  failure_ = system_reason();
  if (failure_.empty()) failure_ = "the write failed";
  return false;
}

bool SessionWriter::still_named() const {
  struct stat open_file {};
  struct stat named {};
  if (::fstat(fd_, &open_file) != 0) return true;  // cannot tell: the writes will say
  if (open_file.st_nlink == 0) return false;
  if (::stat(path_.c_str(), &named) != 0) return errno != ENOENT && errno != ENOTDIR;
  return named.st_dev == open_file.st_dev && named.st_ino == open_file.st_ino;
}

bool session_in_use(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

bool make_session_folder(const std::filesystem::path& folder, std::string* why) {
  std::string reason;
  const std::filesystem::path whole = folder.lexically_normal();
  const std::filesystem::path named =
      whole.has_filename() || !whole.has_parent_path() ? whole : whole.parent_path();
  if (!make_folder(named, reason)) {
    if (why) *why = reason;
    return false;
  }
  // The sessions hold what was measured: not for the other users of the machine.
  struct stat info {};
  if (::stat(named.c_str(), &info) == 0 && info.st_uid == ::geteuid() &&
      (info.st_mode & 077) != 0) {
    ::chmod(named.c_str(), info.st_mode & 07700);
  }
  return true;
}

bool session_recording(const SessionSummary& summary) {
  return summary.state == SessionState::Unfinished && session_in_use(summary.path);
}

}  // namespace tarvo
