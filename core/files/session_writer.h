#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "files/session_file.h"

namespace tarvo {

// The one open session file, appended to line by line. Every append is on
// the disk (fdatasync) before it returns, so a reading that was committed
// survives a kill or a power cut. The file is locked while it is open, which
// tells other runs of the program that it is still being written.
//
// An append that fails (a full disk, an I/O error) leaves the file as it was
// before it: whatever part of the lines reached the file is cut off again, so
// the same lines can be given again later and the file stays readable.
class SessionWriter {
 public:
  // A new file (never one that exists) that starts with head; the folder is
  // synced too, so the new name survives a power cut.
  static std::unique_ptr<SessionWriter> create(const std::filesystem::path& file,
                                               std::string_view head, std::string* why);
  // An existing session, to add lines to its end. A last line cut by a crash
  // is removed first. Refused while another run writes it.
  static std::unique_ptr<SessionWriter> reopen(const std::filesystem::path& file, std::string* why);
  ~SessionWriter();
  SessionWriter(const SessionWriter&) = delete;
  SessionWriter& operator=(const SessionWriter&) = delete;

  // False when the lines are not on the disk; failure() then says why. A later
  // append may succeed again.
  bool append(std::string_view lines);
  bool failed() const { return !failure_.empty(); }
  const std::string& failure() const { return failure_; }
  const std::filesystem::path& path() const { return path_; }
  // False once the file was deleted, or its name now stands for another file
  // (the folder was removed, or the file was moved away).
  bool still_named() const;

 private:
  SessionWriter(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  bool cut_back();
  bool fail();

  int fd_ = -1;
  std::filesystem::path path_;
  std::string failure_;
  // Where the file must end before the next append, after a failed one
  // could not be cut back at once; -1 when it is whole.
  long long cut_at_ = -1;
};

// Whether another process holds the lock of a session's writer.
bool session_in_use(const std::filesystem::path& file);

// Makes the sessions folder and any missing folder above it, each readable by
// the user only, and takes group and others' access off the sessions folder
// itself when an earlier version made it open to them.
bool make_session_folder(const std::filesystem::path& folder, std::string* why);

// Whether a run still writes the session: a writer holds the file and the
// file has no end yet. A writer keeps a stopped session open for a later save,
// and File > Open keeps an adopted one: neither of them is recording.
bool session_recording(const SessionSummary& summary);

}  // namespace tarvo
