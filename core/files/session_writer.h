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
// The first failure (a full disk, a removed folder) ends the writing: a later
// line after a cut one would make the file unreadable.
class SessionWriter {
 public:
  // A new file (never one that exists) that starts with head.
  static std::unique_ptr<SessionWriter> create(const std::filesystem::path& file,
                                               std::string_view head, std::string* why);
  // An existing session, to add lines to its end. A last line cut by a crash
  // is removed first. Refused while another run writes it.
  static std::unique_ptr<SessionWriter> reopen(const std::filesystem::path& file, std::string* why);
  ~SessionWriter();
  SessionWriter(const SessionWriter&) = delete;
  SessionWriter& operator=(const SessionWriter&) = delete;

  // False once a write failed; failure() then says why.
  bool append(std::string_view line);
  bool failed() const { return !failure_.empty(); }
  const std::string& failure() const { return failure_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  SessionWriter(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}

  int fd_ = -1;
  std::filesystem::path path_;
  std::string failure_;
};

// Whether another process holds the lock of a session's writer.
bool session_in_use(const std::filesystem::path& file);

// Whether a run still writes the session: a writer holds the file and the
// file has no end yet. A writer keeps a stopped session open for a later save,
// and File > Open keeps an adopted one: neither of them is recording.
bool session_recording(const SessionSummary& summary);

}  // namespace tarvo
