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

  std::filesystem::path target_;
  std::filesystem::path temp_;
  int fd_ = -1;
  bool unnamed_ = false;
  std::string error_;
};

}  // namespace tarvo
