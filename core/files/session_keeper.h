#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "files/session_file.h"
#include "files/session_writer.h"
#include "link/acquisition.h"
#include "log/commit_listener.h"
#include "session.h"

namespace tarvo {

// Keeps the session file of the log: a new one for each acquisition, a line
// for each committed reading and each event, and the saves of the log. The
// acquisition engine tells it of its steps; the caller of Save As and Open
// of the rest. One keeper for the window and one for the recorder.
//
// A folder that cannot be written does not stop anything: the failure is
// told once per session through on_failure, and the acquisition goes on.
class SessionKeeper final : public CommitListener, public AcquisitionListener {
 public:
  using Clock = std::function<LocalTime()>;
  using FailureSink = std::function<void(const std::string& why)>;

  // An empty folder keeps no sessions at all.
  SessionKeeper(Session& s, std::filesystem::path folder, Clock now);
  ~SessionKeeper() override;
  SessionKeeper(const SessionKeeper&) = delete;
  SessionKeeper& operator=(const SessionKeeper&) = delete;

  void set_failure_sink(FailureSink sink) { on_failure_ = std::move(sink); }

  // A Start found a meter: older sessions are pruned and a new file begins.
  void acquisition_began() override;
  // The acquisition waits for its meter, or has it back.
  void meter_lost() override;
  void meter_back() override;
  // Stop, or the end of a recording: the file stays open for a later save.
  void acquisition_stopped() override;
  // The log was saved to path; told only while the log is the session's.
  void saved(const std::filesystem::path& path);
  // The log now holds the readings of this session file (File > Open of a
  // session): a session that ended without a word is marked stopped, and later
  // saves of the log are noted in it.
  void adopt(const std::filesystem::path& file);
  // The log no longer is the session's (another file opened, Reset).
  void forget();

  void reading_committed(const real_Record& record) override;
  // The newest reading was outside the limits: "high" or "low".
  void outside_limits(std::string_view which);

  // The file being written or last written; empty when there is none.
  std::filesystem::path path() const;
  bool failed() const { return failed_; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  void write(const std::string& line);
  void fail(const std::string& why);
  void listen(bool on);

  Session& s_;
  std::filesystem::path folder_;
  Clock now_;
  FailureSink on_failure_;
  std::unique_ptr<SessionWriter> writer_;
  bool failed_ = false;
  bool listening_ = false;
};

}  // namespace tarvo
