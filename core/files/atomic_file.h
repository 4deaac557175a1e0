#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvo {

// A file that replaces its target only when commit() succeeds. The bytes go to
// a temporary file in the target's folder, which commit() flushes to the disk
// and renames over the target, so readers see either the old file or the whole
// new one. Without a successful commit the temporary file is removed again.
//
// Only a regular file is ever replaced: a device, a pipe, a socket, a folder or
// a symbolic link at the target is refused, before anything is written and
// again just before the rename, and left as it is. The folder is opened once
// and every later step works inside it, so nothing is written through a path
// that was resolved before the write.
//
// Where the file system allows it (Linux, O_TMPFILE) the temporary file has no
// name until commit(), so a save that is killed leaves nothing behind.
// Elsewhere it is a hidden ".NAME.EXT.NNNNNNNNN.tmp" beside the target, locked
// while it is written; every save removes the unlocked ones of its target,
// which killed saves left.
class AtomicFile {
 public:
  explicit AtomicFile(const std::filesystem::path& target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // True while bytes can be written: false after commit() and after any
  // failure, which error() then describes.
  bool ok() const { return fd_ >= 0; }
  bool write(std::string_view bytes);
  // The temporary file, for writers that open it by name themselves (a
  // library that takes a path); for a file without a name, its link in
  // /proc/self/fd. commit() still flushes and renames it.
  const std::filesystem::path& temp_path() const { return temp_; }
  bool commit();
  const std::string& error() const { return error_; }

 private:
  bool fail(const std::string& what, int error_number);
  std::string writing_failed() const;
  void discard();

  bool open_folder();
  bool create_temp();
  bool rename_over_target();

  std::filesystem::path target_;
  std::string name_;  // the target's name in its folder
  std::filesystem::path temp_;
  std::string temp_name_;  // the temporary file's name in the folder, once it has one
  int dir_fd_ = -1;
  int fd_ = -1;
  bool unnamed_ = false;
  std::string error_;
};

}  // namespace tarvo
