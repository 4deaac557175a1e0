#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "files/session_file.h"
#include "files/session_group.h"
#include "files/session_store.h"
#include "files/session_writer.h"
#include "link/acquisition.h"
#include "link/meter_state.h"
#include "log/commit_listeners.h"

namespace tarvo {

// What the keeper tells its owner: the writing stopped (the lines wait in
// memory), it goes on again with every waiting line written, the file was
// made anew after it was deleted, or the kept sessions exceed their size.
enum class SessionNotice { NotWritten, WrittenAgain, MadeAnew, OverLimit };

// The debug trace's line for a notice, the same in the window and the recorder.
std::string session_notice_trace(SessionNotice notice, const std::string& detail);

// Keeps the session file of the log: a new one for each acquisition, a line
// for each committed reading and each event, and the saves of the log. The
// acquisition engine tells it of its steps; the caller of Save As and Open
// of the rest. One keeper for the window and one for the recorder.
//
// A file that cannot be written does not stop anything: the lines wait in
// memory, in order, all of them (a reading's line is small, and the log holds
// the readings anyway), and each later line and each tick() tries them again;
// a session file that was deleted while the acquisition writes it is made
// anew, holding the lines from then on. Each change is told through the
// notice sink, once, with the path or the reason.
class SessionKeeper final : public CommitListener, public AcquisitionListener {
 public:
  using Clock = std::function<LocalTime()>;
  using NoticeSink = std::function<void(SessionNotice notice, const std::string& detail)>;

  // An empty folder keeps no sessions at all.
  SessionKeeper(MeterState& s, std::filesystem::path folder, Clock now);
  ~SessionKeeper() override;
  SessionKeeper(const SessionKeeper&) = delete;
  SessionKeeper& operator=(const SessionKeeper&) = delete;

  void set_notice_sink(NoticeSink sink) { on_notice_ = std::move(sink); }
  // Which older sessions each Start removes; the defaults unless tests say.
  void set_retention(const SessionRetention& rule) { retention_ = rule; }
  // Each session joins the group of that file while it is recorded (see
  // SessionGroupMember); empty: none.
  void set_group_file(std::filesystem::path file) { group_file_ = std::move(file); }
  // Each session is of this group, whatever the group file says (the meters
  // of one run); empty: the group file decides.
  void set_group(std::string id) { group_ = std::move(id); }
  // The group of the session being recorded; empty when it has none. A
  // session that founded its group has it as its name, and no group line.
  std::string group() const;
  bool founded_group() const;

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
  // An event of an alarm, a note or conditional recording, with its fields
  // (see session_event_details), noted while an acquisition writes the file.
  void event(SessionEvent kind, const std::vector<std::string>& details);

  // Once a second: the waiting lines are tried again, a bounded amount at a
  // time, so the catching up never holds the program up.
  void tick();

  // The file being written or last written; empty when there is none.
  std::filesystem::path path() const;
  // The writing stopped: lines wait that are not on the disk.
  bool failed() const { return held_; }
  // The readings among them.
  std::int64_t waiting_readings() const { return pending_readings_; }
  // Readings of a session file that exists are not in it.
  bool incomplete() const { return had_file_ && pending_readings_ > 0; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  struct Line {
    std::string text;
    bool reading = false;
  };
  void write(std::string line, bool reading = false);
  void flush();
  bool open_file();
  bool write_pending();
  void stopped_writing(const std::string& why);
  void notice(SessionNotice notice, const std::string& detail);
  void listen(bool on);
  bool listening() const { return subscription_.active(); }

  MeterState& s_;
  std::filesystem::path folder_;
  Clock now_;
  NoticeSink on_notice_;
  SessionRetention retention_;
  std::filesystem::path group_file_;
  std::string group_;
  std::unique_ptr<SessionGroupMember> group_member_;  // while this run records
  std::unique_ptr<SessionWriter> writer_;
  std::string head_;  // of the session this run records, to make its file anew
  LocalTime started_;
  std::deque<Line> pending_;
  std::int64_t pending_readings_ = 0;
  bool recording_ = false;  // the file is this run's own acquisition's
  bool had_file_ = false;
  bool held_ = false;  // told as not written, not yet as written again
  // Held while this run's acquisition writes the file; the first to hear of
  // each commit.
  CommitSubscription subscription_;
};

}  // namespace tarvo
