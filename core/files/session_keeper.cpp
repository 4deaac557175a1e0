#include "files/session_keeper.h"

#include <algorithm>
#include <system_error>

#include "decode/meter_family.h"
#include "files/session_store.h"

namespace tarvo {

namespace {

// Start finds at most one meter a second; a few tries cover two runs that
// start in the same second.
constexpr int kNameAttempts = 20;

SessionHeader header_of(const Session& s, const LocalTime& started) {
  const MeterFamily* family = family_of(s.model);
  return {started, family != nullptr ? std::string(family->name) : std::string("none"),
          s.RecordInterval, s.DecimalSeparator};
}

}  // namespace

SessionKeeper::SessionKeeper(Session& s, std::filesystem::path folder, Clock now)
    : s_(s), folder_(std::move(folder)), now_(std::move(now)) {}

SessionKeeper::~SessionKeeper() {
  listen(false);
}

void SessionKeeper::listen(bool on) {
  auto& listeners = s_.commit_listeners;
  // First of all: the reading is on the disk before anything else hears of it.
  if (on && !listening_) listeners.insert(listeners.begin(), this);
  if (!on && listening_)
    listeners.erase(std::remove(listeners.begin(), listeners.end(), this), listeners.end());
  listening_ = on;
}

void SessionKeeper::acquisition_began() {
  forget();
  failed_ = false;
  if (folder_.empty()) return;
  listen(true);
  const LocalTime started = now_();
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  if (ec) return fail(folder_.string() + ": " + ec.message());
  prune_sessions(folder_, started);
  std::string why;
  for (int attempt = 0; attempt < kNameAttempts && !writer_; ++attempt) {
    const std::filesystem::path file = folder_ / session_file_name(started, attempt);
    writer_ = SessionWriter::create(file, session_header_text(header_of(s_, started)), &why);
    if (!writer_ && std::filesystem::exists(file, ec)) continue;
    if (!writer_) break;
  }
  if (!writer_) fail(folder_.string() + ": " + why);
}

void SessionKeeper::reading_committed(const real_Record& record) {
  write(session_reading_line(record));
}

void SessionKeeper::outside_limits(std::string_view which) {
  if (listening_) write(session_event_line(SessionEvent::OutsideLimits, now_(), which));
}

void SessionKeeper::meter_lost() {
  write(session_event_line(SessionEvent::MeterLost, now_()));
}

void SessionKeeper::meter_back() {
  write(session_event_line(SessionEvent::MeterBack, now_()));
}

void SessionKeeper::acquisition_stopped() {
  if (!listening_) return;  // no acquisition writes the file (an opened one, or none)
  listen(false);
  write(session_event_line(SessionEvent::Stopped, now_()));
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
  writer_.reset();
}

std::filesystem::path SessionKeeper::path() const {
  return writer_ ? writer_->path() : std::filesystem::path();
}

void SessionKeeper::write(const std::string& line) {
  if (!writer_ || writer_->append(line)) return;
  fail(writer_->path().string() + ": " + writer_->failure());
}

void SessionKeeper::fail(const std::string& why) {
  if (failed_) return;
  failed_ = true;
  if (on_failure_) on_failure_(why);
}

}  // namespace tarvo
