#include "files/atomic_file.h"

#include <fcntl.h>
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

// A hidden name beside the target; O_EXCL makes a clash with any other file an
// error, so a few random names are tried.
int create_temp(const std::filesystem::path& target, std::filesystem::path& temp) {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  // Short enough that the decorated name stays within the longest file name.
  const std::string name = target.filename().string();
  const std::string_view stem = cut_utf8(name, 64);
  int fd = -1;
  for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    const std::string number = std::to_string(random() % 1000000000);
    temp = folder_of(target) / joined({".", stem, ".", number, ".tmp"});
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  return fd;
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
  fd_ = create_temp(target_, temp_);
  if (fd_ < 0) {
    error_ = joined(
        {"cannot create a file in ", folder_of(target_).string(), ": ", std::strerror(errno)});
    temp_.clear();
    return;
  }
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
    if (written <= 0)
      return fail(joined({"writing ", temp_.string(), " failed"}), written < 0 ? errno : EIO);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool AtomicFile::commit() {
  if (!ok()) return false;
  if (::fsync(fd_) != 0) return fail(joined({"writing ", temp_.string(), " failed"}), errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return fail(joined({"writing ", temp_.string(), " failed"}), errno);
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    return fail(joined({"cannot replace ", target_.string()}), errno);
  }
  temp_.clear();
  sync_folder(folder_of(target_));
  return true;
}

bool AtomicFile::fail(const std::string& what, int error_number) {
  error_ = joined({what, ": ", std::strerror(error_number)});
  discard();
  return false;
}

void AtomicFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

}  // namespace tarvo
