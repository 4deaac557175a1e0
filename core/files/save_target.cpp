#include "files/save_target.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace tarvo {

namespace {

std::optional<std::string> problem_of(mode_t mode) {
  if (S_ISREG(mode)) return std::nullopt;
  if (S_ISLNK(mode)) return "it is a symbolic link, not a regular file";
  if (S_ISDIR(mode)) return "it is a folder, not a file";
  if (S_ISFIFO(mode)) return "it is a pipe (FIFO), not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
  if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
  return "it is not a regular file";
}

}  // namespace

std::optional<std::string> save_target_problem_at(int dir_fd, const char* name) {
  struct stat info {};
  if (::fstatat(dir_fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return problem_of(info.st_mode);
}

std::optional<std::string> save_target_problem(const std::filesystem::path& target) {
  // A name that ends in a separator ("out/") is about the folder itself.
  if (!target.has_filename()) return "it is a folder, not a file";
  return save_target_problem_at(AT_FDCWD, target.c_str());
}

}  // namespace tarvo
