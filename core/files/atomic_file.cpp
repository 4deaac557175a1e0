#include "files/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <random>

#include "log/fixed_text.h"

namespace tarvo {

namespace {

// Writing through a symbolic link replaces the file it points to, not the link.
std::filesystem::path resolved(const std::filesystem::path& target) {
  std::error_code ec;
  std::filesystem::path real = std::filesystem::canonical(target, ec);
  return ec ? target : real;
}

// Appending piece by piece; gcc 12 at -O3 warns falsely on chains of operator+.
std::string joined(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (const std::string_view piece : pieces) text += piece;
  return text;
}

std::filesystem::path folder_of(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// The hidden names of a target's temporary files: ".NAME.EXT.NNNNNNNNN.tmp",
// the name cut so that the decorated one stays within the longest file name.
std::string temp_prefix(const std::filesystem::path& target) {
  const std::string name = target.filename().string();
  return joined({".", cut_utf8(name, 64), "."});
}

bool is_temp_name_of(std::string_view name, std::string_view prefix) {
  constexpr std::string_view kSuffix = ".tmp";
  if (!name.starts_with(prefix) || !name.ends_with(kSuffix)) return false;
  const std::string_view number = name.substr(prefix.size(), name.size() - prefix.size() - 4);
  if (number.empty()) return false;
  for (const char c : number) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string random_temp_name(const std::filesystem::path& target) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  return joined({temp_prefix(target), std::to_string(random() % 1000000000), ".tmp"});
}

// Every temporary file is locked by the process writing it, so one that can
// be locked was left by a save that was killed: it is removed. A lock held
// means another save of the same target is still running.
void remove_stale_temps(const std::filesystem::path& target) {
  const std::filesystem::path folder = folder_of(target);
  const std::string prefix = temp_prefix(target);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (!is_temp_name_of(entry->d_name, prefix)) continue;
    const std::filesystem::path stale = folder / entry->d_name;
    const int fd = ::open(stale.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      (void)::unlink(stale.c_str());
    }
    ::close(fd);
  }
  ::closedir(dir);
}

// A file with no name in the target's folder: a killed save leaves nothing.
// Not every file system has them (nor every system), hence -1 at times.
int create_unnamed(const std::filesystem::path& target) {
#ifdef O_TMPFILE
  return ::open(folder_of(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
  (void)target;
  errno = EOPNOTSUPP;
  return -1;
#endif
}

// A hidden name beside the target; O_EXCL makes a clash with any other file an
// error, so a few random names are tried.
int create_named(const std::filesystem::path& target, std::filesystem::path& temp) {
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = folder_of(target) / random_temp_name(target);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  return fd;
}

// Gives the unnamed file a hidden name, from which it is renamed over the
// target: a link cannot replace an existing file.
bool link_unnamed(int fd, const std::filesystem::path& target, std::filesystem::path& temp) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp = folder_of(target) / random_temp_name(target);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    if (errno != EEXIST) break;
  }
  temp.clear();
  return false;
}

// A replaced file keeps its permissions; a new one gets those of a plain create.
void keep_permissions(int fd, const std::filesystem::path& target) {
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    (void)::fchmod(fd, old.st_mode & 07777);
  }
}

// So that the rename itself survives a power cut; a failure here loses nothing.
void sync_folder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicFile::AtomicFile(const std::filesystem::path& target) : target_(resolved(target)) {
  if (target_.filename().empty()) {
    error_ = "no file name given";
    return;
  }
  remove_stale_temps(target_);
  fd_ = create_unnamed(target_);
  if (fd_ >= 0 && ::access(("/proc/self/fd/" + std::to_string(fd_)).c_str(), F_OK) == 0) {
    unnamed_ = true;
    temp_ = "/proc/self/fd/" + std::to_string(fd_);
  } else {
    if (fd_ >= 0) ::close(fd_);
    fd_ = create_named(target_, temp_);
  }
  if (fd_ < 0) {
    error_ = joined(
        {"cannot create a file in ", folder_of(target_).string(), ": ", std::strerror(errno)});
    temp_.clear();
    return;
  }
  (void)::flock(fd_, LOCK_EX | LOCK_NB);
  keep_permissions(fd_, target_);
}

AtomicFile::~AtomicFile() {
  discard();
}

bool AtomicFile::write(std::string_view bytes) {
  if (!ok()) return false;
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return fail(writing_failed(), written < 0 ? errno : ENOSPC);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string AtomicFile::writing_failed() const {
  return joined({"writing ", target_.string(), " failed"});
}

// The new file gets its name only once all of it is on the disk; the rename
// then replaces the target in one step, so the target is at every moment
// either the old file or the whole new one.
bool AtomicFile::commit() {
  if (!ok()) return false;
  if (::fsync(fd_) != 0) return fail(writing_failed(), errno);
  if (unnamed_ && !link_unnamed(fd_, target_, temp_)) {
    return fail(joined({"cannot create a file in ", folder_of(target_).string()}), errno);
  }
  unnamed_ = false;
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    return fail(joined({"cannot replace ", target_.string()}), errno);
  }
  temp_.clear();
  const int fd = fd_;
  fd_ = -1;
  ::close(fd);
  sync_folder(folder_of(target_));
  return true;
}

bool AtomicFile::fail(const std::string& what, int error_number) {
  error_ = joined({what, ": ", std::strerror(error_number)});
  discard();
  return false;
}

void AtomicFile::discard() {
  if (!temp_.empty() && !unnamed_) ::unlink(temp_.c_str());
  temp_.clear();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  unnamed_ = false;
}

}  // namespace tarvo
