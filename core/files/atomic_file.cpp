#include "files/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <random>

#include "files/save_target.h"
#include "log/fixed_text.h"

namespace tarvo {

namespace {

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
std::string temp_prefix(const std::string& name) {
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

std::string random_temp_name(const std::string& name) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  return joined({temp_prefix(name), std::to_string(random() % 1000000000), ".tmp"});
}

// Every temporary file is locked by the process writing it, so one that can
// be locked was left by a save that was killed: it is removed. A lock held
// means another save of the same target is still running.
void remove_stale_temps(int dir_fd, const std::string& name) {
  const int list_fd = ::openat(dir_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (list_fd < 0) return;
  DIR* dir = ::fdopendir(list_fd);
  if (dir == nullptr) {
    ::close(list_fd);
    return;
  }
  const std::string prefix = temp_prefix(name);
  while (const dirent* entry = ::readdir(dir)) {
    if (!is_temp_name_of(entry->d_name, prefix)) continue;
    const int fd = ::openat(dir_fd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      (void)::unlinkat(dir_fd, entry->d_name, 0);
    }
    ::close(fd);
  }
  ::closedir(dir);
}

// A file with no name in the target's folder: a killed save leaves nothing.
// Not every file system has them (nor every system), hence -1 at times.
int create_unnamed(int dir_fd) {
#ifdef O_TMPFILE
  return ::openat(dir_fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
  (void)dir_fd;
  errno = EOPNOTSUPP;
  return -1;
#endif
}

// A hidden name beside the target; O_EXCL makes a clash with any other file an
// error, so a few random names are tried.
int create_named(int dir_fd, const std::string& name, std::string& temp_name) {
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp_name = random_temp_name(name);
    fd = ::openat(dir_fd, temp_name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) temp_name.clear();
  return fd;
}

// Gives the unnamed file a hidden name, from which it is renamed over the
// target: a link cannot replace an existing file.
bool link_unnamed(int fd, int dir_fd, const std::string& name, std::string& temp_name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp_name = random_temp_name(name);
    if (::linkat(AT_FDCWD, self.c_str(), dir_fd, temp_name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return true;
    }
    if (errno != EEXIST) break;
  }
  temp_name.clear();
  return false;
}

// A replaced file keeps its permissions; a new one gets those of a plain create.
void keep_permissions(int fd, int dir_fd, const std::string& name) {
  struct stat old {};
  if (::fstatat(dir_fd, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode)) {
    (void)::fchmod(fd, old.st_mode & 07777);
  }
}

// Moves temp over name only when name is free: false with EEXIST otherwise,
// or with EINVAL where the file system cannot promise that.
bool rename_if_free(int dir_fd, const std::string& temp_name, const std::string& name) {
#ifdef RENAME_NOREPLACE
  return ::renameat2(dir_fd, temp_name.c_str(), dir_fd, name.c_str(), RENAME_NOREPLACE) == 0;
#else
  (void)dir_fd;
  (void)temp_name;
  (void)name;
  errno = EINVAL;
  return false;
#endif
}

}  // namespace

AtomicFile::AtomicFile(const std::filesystem::path& target) : target_(target) {
  if (!target_.has_filename()) {
    error_ = "no file name given";
    return;
  }
  name_ = target_.filename().string();
  if (const std::optional<std::string> problem = save_target_problem(target_)) {
    error_ = joined({"not saved to ", target_.string(), ": ", *problem, "; it was left as it is"});
    return;
  }
  if (!open_folder() || !create_temp()) return;
  (void)::flock(fd_, LOCK_EX | LOCK_NB);
  keep_permissions(fd_, dir_fd_, name_);
}

// The folder is held from here on: a folder renamed or replaced by a link
// afterwards does not redirect the save.
bool AtomicFile::open_folder() {
  dir_fd_ = ::open(folder_of(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd_ >= 0) return true;
  error_ = joined(
      {"cannot create a file in ", folder_of(target_).string(), ": ", std::strerror(errno)});
  return false;
}

bool AtomicFile::create_temp() {
  remove_stale_temps(dir_fd_, name_);
  fd_ = create_unnamed(dir_fd_);
  if (fd_ >= 0 && ::access(("/proc/self/fd/" + std::to_string(fd_)).c_str(), F_OK) == 0) {
    unnamed_ = true;
    temp_ = "/proc/self/fd/" + std::to_string(fd_);
    return true;
  }
  if (fd_ >= 0) ::close(fd_);
  fd_ = create_named(dir_fd_, name_, temp_name_);
  if (fd_ >= 0) {
    temp_ = folder_of(target_) / temp_name_;
    return true;
  }
  error_ =
      joined({"cannot create a file in ", folder_of(target_).string(), ": ", std::strerror(errno)});
  return false;
}

AtomicFile::~AtomicFile() {
  discard();
  if (dir_fd_ >= 0) ::close(dir_fd_);
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

// The name is looked at once more right before the rename, which replaces
// the entry itself and never follows a link: whatever took the name while
// the bytes were written, only a regular file is replaced. A free name is
// taken only while it is still free.
bool AtomicFile::rename_over_target() {
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (const std::optional<std::string> problem = save_target_problem_at(dir_fd_, name_.c_str())) {
      error_ =
          joined({"not saved to ", target_.string(), ": ", *problem, "; it was left as it is"});
      discard();
      return false;
    }
    struct stat info {};
    if (::fstatat(dir_fd_, name_.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT) {
      if (rename_if_free(dir_fd_, temp_name_, name_)) return true;
      if (errno == EEXIST) continue;  // taken meanwhile: look again
    }
    if (::renameat(dir_fd_, temp_name_.c_str(), dir_fd_, name_.c_str()) == 0) return true;
    return fail(joined({"cannot replace ", target_.string()}), errno);
  }
  return fail(joined({"cannot replace ", target_.string()}), EEXIST);
}

// The new file gets its name only once all of it is on the disk; the rename
// then replaces the target in one step, so the target is at every moment
// either the old file or the whole new one.
bool AtomicFile::commit() {
  if (!ok()) return false;
  if (::fsync(fd_) != 0) return fail(writing_failed(), errno);
  if (unnamed_ && !link_unnamed(fd_, dir_fd_, name_, temp_name_)) {
    return fail(joined({"cannot create a file in ", folder_of(target_).string()}), errno);
  }
  unnamed_ = false;
  if (!rename_over_target()) return false;
  temp_.clear();
  temp_name_.clear();
  const int fd = fd_;
  fd_ = -1;
  ::close(fd);
  // So that the rename itself survives a power cut; a failure here loses nothing.
  (void)::fsync(dir_fd_);
  return true;
}

bool AtomicFile::fail(const std::string& what, int error_number) {
  error_ = joined({what, ": ", std::strerror(error_number)});
  discard();
  return false;
}

void AtomicFile::discard() {
  if (!temp_name_.empty() && !unnamed_) ::unlinkat(dir_fd_, temp_name_.c_str(), 0);
  temp_.clear();
  temp_name_.clear();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  unnamed_ = false;
}

}  // namespace tarvo
