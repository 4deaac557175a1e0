#include "files/session_keeper.h"

#include <system_error>

#include "decode/meter_family.h"
#include "files/session_store.h"

namespace tarvo {

namespace {

// Start finds at most one meter a second; a few tries cover two runs that
// start in the same second.
constexpr int kNameAttempts = 20;
// Waiting lines go out in writes of this size, and at most this much a tick:
// a day of readings held back by a full disk is caught up in a few seconds,
// none of them long.
constexpr std::size_t kBatchBytes = 256 * 1024;
constexpr std::size_t kMostBytesAtOnce = 1024 * 1024;

SessionHeader header_of(const MeterState& s, const LocalTime& started, std::string group) {
  const MeterFamily* family = family_of(s.model);
  return {started, family != nullptr ? std::string(family->name) : std::string("none"),
          s.RecordInterval, s.DecimalSeparator, std::move(group)};
}

std::string over_limit_detail(const std::filesystem::path& folder, std::uint64_t bytes,
                              const SessionRetention& rule) {
  return folder.string() + " holds " + std::to_string(bytes >> 20) +
         " MiB of sessions, more than the " + std::to_string(rule.most_bytes >> 20) +
         " MiB kept; the unsaved sessions younger than " + std::to_string(rule.unsaved_days) +
         " days are kept all the same";
}

}  // namespace

SessionKeeper::SessionKeeper(MeterState& s, std::filesystem::path folder, Clock now)
    : s_(s), folder_(std::move(folder)), now_(std::move(now)) {}

SessionKeeper::~SessionKeeper() = default;

void SessionKeeper::listen(bool on) {
  if (on == listening()) return;
  subscription_ =
      on ? s_.commit_listeners.subscribe(CommitStage::SessionFile, *this) : CommitSubscription();
}

void SessionKeeper::acquisition_began() {
  if (held_) flush();  // the last session's end, if the disk takes it now
  forget();
  if (folder_.empty()) return;
  listen(true);
  recording_ = true;
  started_ = now_();
  if (group_.empty() && !group_file_.empty()) group_member_ = SessionGroupMember::join(group_file_);
  // A founder's session is named by the group's id: it needs no line.
  const bool founder = group_member_ && group_member_->founder();
  head_ = session_header_text(header_of(s_, started_, founder ? std::string() : group()));
  if (make_session_folder(folder_, nullptr)) {
    const PruneOutcome pruned = prune_sessions(folder_, started_, retention_);
    if (pruned.over_limit) {
      notice(SessionNotice::OverLimit, over_limit_detail(folder_, pruned.kept_bytes, retention_));
    }
  }
  open_file();
  if (founder) group_member_->settle(path().stem().string());
}

// A new file for this run's session, under the first free name of its start.
bool SessionKeeper::open_file() {
  std::string why;
  if (!make_session_folder(folder_, &why)) {
    stopped_writing(why);
    return false;
  }
  std::error_code ec;
  for (int attempt = 0; attempt < kNameAttempts && !writer_; ++attempt) {
    const std::filesystem::path file = folder_ / session_file_name(started_, attempt);
    writer_ = SessionWriter::create(file, head_, &why);
    if (!writer_ && !std::filesystem::exists(file, ec)) break;
  }
  if (!writer_) {
    stopped_writing(folder_.string() + ": " + why);
    return false;
  }
  had_file_ = true;
  return true;
}

void SessionKeeper::reading_committed(const real_Record& record) {
  write(session_reading_line(record), true);
}

void SessionKeeper::outside_limits(std::string_view which) {
  if (listening()) write(session_event_line(SessionEvent::OutsideLimits, now_(), which));
}

void SessionKeeper::event(SessionEvent kind, const std::vector<std::string>& details) {
  if (listening()) write(session_event_line(kind, now_(), details));
}

void SessionKeeper::meter_lost() {
  write(session_event_line(SessionEvent::MeterLost, now_()));
}

void SessionKeeper::meter_back() {
  write(session_event_line(SessionEvent::MeterBack, now_()));
}

void SessionKeeper::acquisition_stopped() {
  if (!listening()) return;  // no acquisition writes the file (an opened one, or none)
  listen(false);
  group_member_.reset();  // a recorder that starts from now on makes a group of its own
  write(session_event_line(SessionEvent::Stopped, now_()));
}

std::string SessionKeeper::group() const {
  if (!group_.empty()) return group_;
  return group_member_ ? group_member_->id() : std::string();
}

bool SessionKeeper::founded_group() const {
  return group_.empty() && group_member_ && group_member_->founder();
}

void SessionKeeper::saved(const std::filesystem::path& path) {
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(path, ec);
  write(session_event_line(SessionEvent::Saved, now_(), (ec ? path : whole).string()));
}

void SessionKeeper::adopt(const std::filesystem::path& file) {
  forget();
  const std::optional<SessionSummary> summary = SummarizeSession(file);
  if (!summary) return;
  writer_ = SessionWriter::reopen(file, nullptr);
  // Read only, or written by a running acquisition: the log is a copy.
  if (writer_ && summary->state == SessionState::Unfinished) {
    write(session_event_line(SessionEvent::Stopped, now_()));
  }
}

void SessionKeeper::forget() {
  listen(false);
  group_member_.reset();
  writer_.reset();
  pending_.clear();
  pending_readings_ = 0;
  recording_ = false;
  had_file_ = false;
  held_ = false;
}

std::filesystem::path SessionKeeper::path() const {
  return writer_ ? writer_->path() : std::filesystem::path();
}

void SessionKeeper::tick() {
  if (!pending_.empty()) flush();
}

void SessionKeeper::write(std::string line, bool reading) {
  if (!writer_ && !recording_) return;  // no session file belongs to the log
  pending_.push_back({std::move(line), reading});
  if (reading) ++pending_readings_;
  flush();
}

void SessionKeeper::flush() {
  if (writer_ && !writer_->still_named()) {
    writer_.reset();
    if (!recording_) {  // an opened session that was deleted: nothing to add to
      pending_.clear();
      pending_readings_ = 0;
      return;
    }
    if (!open_file()) return;
    notice(SessionNotice::MadeAnew, writer_->path().string());
  }
  if (!writer_ && (!recording_ || !open_file())) return;
  if (!write_pending() || !pending_.empty() || !held_) return;
  held_ = false;
  notice(SessionNotice::WrittenAgain, writer_->path().string());
}

// The waiting lines in order, in a few large writes; false when one failed.
bool SessionKeeper::write_pending() {
  std::size_t written = 0;
  while (!pending_.empty() && written < kMostBytesAtOnce) {
    std::string batch;
    std::size_t lines = 0;
    for (; lines < pending_.size() && (lines == 0 || batch.size() < kBatchBytes); ++lines) {
      batch += pending_[lines].text;
    }
    if (!writer_->append(batch)) {
      stopped_writing(writer_->path().string() + ": " + writer_->failure());
      return false;
    }
    for (std::size_t i = 0; i < lines; ++i) {
      if (pending_.front().reading) --pending_readings_;
      pending_.pop_front();
    }
    written += batch.size();
  }
  return true;
}

void SessionKeeper::stopped_writing(const std::string& why) {
  if (held_) return;
  held_ = true;
  notice(SessionNotice::NotWritten, why);
}

std::string session_notice_trace(SessionNotice notice, const std::string& detail) {
  switch (notice) {
    case SessionNotice::NotWritten:
      return "Session file not written, the readings wait in memory: " + detail;
    case SessionNotice::WrittenAgain:
      return "Session file written again, every waiting reading is in it: " + detail;
    case SessionNotice::MadeAnew:
      return "Session file was deleted; a new one goes on: " + detail;
    case SessionNotice::OverLimit:
      break;
  }
  return "Sessions over their size: " + detail;
}

void SessionKeeper::notice(SessionNotice kind, const std::string& detail) {
  if (on_notice_) on_notice_(kind, detail);
}

}  // namespace tarvo
