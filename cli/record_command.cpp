// tarvo-cli record drives the recording of recording/recording.h, the one the
// window drives too: Start with sleeps for its two waits, then a tick a second
// on its own clock. What a family is comes from decode/meter_family.h.
#include "record_command.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "files/session_group.h"
#include "files/session_store.h"
#include "files/text_log.h"
#include "hex_chunk.h"
#include "input_lines.h"
#include "link/commit_gate.h"
#include "options.h"
#include "publish/broker_password.h"
#include "reading_json.h"
#include "record_alarms.h"
#include "record_influx.h"
#include "record_options.h"
#include "record_publish.h"
#include "recording/recording.h"
#include "stop_signal.h"

#if defined(_WIN32)
#include <io.h>

#include <cstdio>
#else
#include <unistd.h>
#endif

namespace tarvo::cli {
namespace {

using Clock = RecordEnvironment::Clock;

constexpr auto kTick = std::chrono::seconds(1);
constexpr auto kListen = std::chrono::seconds(1);  // each of Start's two waits
constexpr auto kSaveEvery = std::chrono::seconds(60);
constexpr const char* kPrefix = "tarvo-cli record: ";

// Failed: the log could not be saved, or the recording broke off with an error.
// Dropped: all else went well, but the broker missed readings a full queue let go.
enum class Exit : int {
  Done = 0,
  Failed = 1,
  BadArguments = 2,
  NoMeter = 3,
  Disconnected = 4,
  Dropped = 5
};

std::string reason_of(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) return "not enough memory";
  return e.what();
}

class StreamTrace final : public DebugTrace {
 public:
  explicit StreamTrace(std::ostream& os) : os_(os) {}
  void add_line(std::string line) override { os_ << line << '\n' << std::flush; }
  void clear() override {}

 private:
  std::ostream& os_;
};

class DiscardTrace final : public DebugTrace {
 public:
  void add_line(std::string) override {}
  void clear() override {}
};

std::unique_ptr<DebugTrace> make_trace(bool shown, std::ostream& err) {
  if (shown) return std::make_unique<StreamTrace>(err);
  return std::make_unique<DiscardTrace>();
}

void apply_options(MeterState& s, const RecordOptions& o) {
  s.LanguageBase = o.language * 1000;
  s.DecimalSeparator = o.separator;
  s.RecordInterval = o.interval;
}

// One meter among several of one run: its letter. A run of one meter has none.
struct MeterRole {
  std::string key;
};

// FILE.txt of the meter with key A is FILE-A.txt.
std::optional<std::filesystem::path> out_file_of(const RecordOptions& o, const std::string& key) {
  if (!o.out || key.empty()) return o.out;
  std::filesystem::path file = *o.out;
  const std::filesystem::path extension = file.extension();
  file.replace_filename(file.stem().string() + "-" + key + extension.string());
  return file;
}

class Recorder final : private StartDriver {
 public:
  Recorder(const RecordOptions& o, const RecordEnvironment& env, std::ostream& out,
           std::ostream& err, const MeterRole& role = {})
      : o_(o),
        key_(role.key),
        out_file_(out_file_of(o, role.key)),
        env_(env),
        out_(out),
        err_(err),
        sink_(make_trace(o.trace, err)),
        recording_({make_system_serial_devices(), *sink_, env.local_now, env.session_folder,
                    env.group_file}),
        s_(&recording_.state()),
        trace_(recording_.trace()),
        ports_(recording_.ports()),
        acquisition_(recording_.acquisition()),
        sessions_(recording_.session_keeper()),
        limits_(recording_.limits()) {
    apply_options(*s_, o);
    recording_.set_limits_for_next(o.high, o.low, o.hysteresis, o.min_duration, o.stale);
    alarms_ = std::make_unique<RecordAlarms>(recording_, o);
    if (env.note_input >= 0) notes_ = std::make_unique<InputLines>(env.note_input);
    // After the session file's line of the breach.
    limits_.add_sink([this](const real_Record& record, LimitBreach breach) {
      end_progress();
      err_ << kPrefix << "reading " << record.Index
           << " is outside the limits: " << record.Main_No.str() << " " << run_key_of(record).unit
           << " (" << breach_name(breach) << ")\n";
    });
    sessions_.set_notice_sink(
        [this](SessionNotice notice, const std::string& detail) { tell(notice, detail); });
    if (o.reconnect_timeout != std::int64_t{0}) {
      acquisition_.wait_for_lost_meter([this] { return system_port_map(o_.ports, env_.roots); });
    }
  }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // The session file's changes, on standard error and in the trace, each once.
  void tell(SessionNotice notice, const std::string& detail) {
    end_progress();
    trace_.note(session_notice_trace(notice, detail));
    switch (notice) {
      case SessionNotice::NotWritten:
        err_ << kPrefix << "the session file is not written (" << detail
             << "); the recording goes on, the readings wait in memory\n";
        break;
      case SessionNotice::WrittenAgain:
        err_ << kPrefix << "the session file is written again, every waiting reading is in it ("
             << detail << ")\n";
        break;
      case SessionNotice::MadeAnew:
        err_ << kPrefix << "the session file was deleted; " << detail
             << " holds the readings from now on\n";
        break;
      case SessionNotice::OverLimit:
        err_ << kPrefix << detail << '\n';
        break;
    }
  }

  // A session file that misses readings at the end is a failure: the
  // recording ended without them on the disk.
  bool sessions_complete() {
    sessions_.tick();
    if (!sessions_.failed()) return true;
    const std::filesystem::path file = sessions_.path();
    end_progress();
    err_ << kPrefix << "the session file " << (file.empty() ? sessions_.folder() : file).string()
         << " still could not be written: " << sessions_.waiting_readings()
         << " readings and the end of the recording are not in it\n";
    return !sessions_.incomplete();
  }

  // Whatever ends the recording, what was logged is saved.
  Exit run() {
    Exit exit = begin();
    if (running()) exit = record();
    return finish(exit);
  }

  // The publishing, then Start.
  Exit begin() {
    try {
      start_publishing();
      const Exit found = find_meter();
      if (running()) arm();
      return found;
    } catch (const std::exception& e) {
      return broke_off(e);
    }
  }

  // The group the sessions of the meters after this one join: the one this
  // session is of, else the one it founds by its name.
  std::string group_for_others() const {
    std::string group = sessions_.group();
    if (group.empty()) group = sessions_.path().stem().string();
    return group.empty() ? new_group_id() : group;
  }
  void join_group(const std::string& id) { sessions_.set_group(id); }

  bool running() const {
    const AcquisitionState state = acquisition_.state();
    return state == AcquisitionState::Acquiring || state == AcquisitionState::Waiting;
  }

  // One tick on the grid of record(); an exit once this meter's recording is over.
  std::optional<Exit> step(Clock::time_point now, std::int64_t ticks) {
    try {
      const TickOutcome outcome = acquisition_.tick(nullptr, env_.local_now);
      recording_.tick(env_.local_now());
      take_notes();
      sessions_.tick();
      report_new_readings();
      report_broker();
      if (outcome == TickOutcome::MeterLost || !follow_meter(outcome, now)) {
        end_progress();
        err_ << kPrefix << meter_name() << s_->text(kTextMeterDisconnected) << '\n';
        return Exit::Disconnected;
      }
      if (o_.count && s_->log.count() >= *o_.count) return Exit::Done;
      if (recording_.gate_done()) return Exit::Done;
      if (o_.duration && ticks >= *o_.duration) return Exit::Done;
      if (now >= next_save_) {
        save();
        next_save_ = now + kSaveEvery;
      }
      return std::nullopt;
    } catch (const std::exception& e) {
      return broke_off(e);
    }
  }

  // The end of a recording, however it came: the log saved, the queues emptied.
  Exit finish(Exit exit) {
    if (running()) acquisition_.stop();
    end_progress();
    if (!save()) exit = Exit::Failed;
    for (const Exit published : {finish_publishing(), finish_influx()}) {
      if (published == Exit::Failed || (published == Exit::Dropped && exit == Exit::Done)) {
        exit = published;
      }
    }
    if (!sessions_complete()) exit = Exit::Failed;
    return exit;
  }

 private:
  // Start, with sleeps for its waits. Done without acquiring means interrupted.
  Exit find_meter() {
    switch (acquisition_.start(system_port_map(o_.ports, env_.roots), *this)) {
      case StartOutcome::Acquiring:
        return Exit::Done;
      case StartOutcome::NoMeter:
        err_ << kPrefix << meter_name() << no_meter_message(*s_, acquisition_.refusals()) << '\n';
        return Exit::NoMeter;
      case StartOutcome::Abandoned:
        acquisition_.abandon_start();
        return Exit::Done;
    }
    return Exit::Done;
  }

  bool wait_listening() override {
    env_.sleep_until(env_.steady_now() + kListen);
    return !env_.stop_requested();
  }

  void meter_found() override {
    if (!env_.progress && key_.empty()) return;
    err_ << kPrefix << (key_.empty() ? "meter" : "meter " + key_) << " found on COM"
         << s_->ActivePort << " (" << ports_.device(s_->ActivePort) << ")\n";
  }

  Exit broke_off(const std::exception& e) {
    end_progress();
    err_ << kPrefix << meter_name() << "recording stopped: " << reason_of(e) << '\n';
    return Exit::Failed;
  }

  // "meter A: " before the lines of one meter among several.
  std::string meter_name() const { return key_.empty() ? "" : "meter " + key_ + ": "; }

  // Ticks on a fixed one-second grid, so the interval does not drift.
  Exit record() {
    auto deadline = env_.steady_now();
    next_save_ = deadline + kSaveEvery;
    for (std::int64_t ticks = 1;; ++ticks) {
      deadline += kTick;
      env_.sleep_until(deadline);
      if (env_.stop_requested()) return Exit::Done;
      const auto now = env_.steady_now();
      if (now - deadline > kTick) deadline = now;  // after a suspend: no burst of ticks
      if (const std::optional<Exit> exit = step(now, ticks)) return *exit;
    }
  }

  // Says when the meter goes and comes back; false once it has stayed away
  // longer than the reconnect timeout, and the acquisition has been stopped.
  bool follow_meter(TickOutcome outcome, Clock::time_point now) {
    if (outcome == TickOutcome::LostWaiting) {
      lost_at_ = now;
      end_progress();
      err_ << kPrefix << "the meter went away from " << acquisition_.lost_device()
           << "; waiting for it to come back";
      if (o_.reconnect_timeout) err_ << " (at most " << *o_.reconnect_timeout << " s)";
      err_ << '\n';
    } else if (outcome == TickOutcome::MeterBack) {
      end_progress();
      err_ << kPrefix << "the meter is back on " << ports_.device(s_->ActivePort) << '\n';
    } else if (outcome == TickOutcome::Waiting && o_.reconnect_timeout &&
               now - lost_at_ >= std::chrono::seconds(*o_.reconnect_timeout)) {
      acquisition_.stop();
      return false;
    }
    return true;
  }

  void report_new_readings() {
    const ReadingLog& log = s_->log;
    for (; reported_ < log.count(); ++reported_) {
      if (printing_) print_reading(log[reported_ + 1]);
    }
    if (env_.progress && log.count() > 0) show_progress();
  }

  void print_reading(const real_Record& record) {
    auto j = reading_json(true, s_->reading);
    j["rx"] = hex_dump(s_->rx.held());
    j["Index"] = record.Index;
    j["Time"] = record.Time.str();
    if (!key_.empty()) j["meter"] = key_;
    add_typed_keys(j, typed_reading(record, s_->DecimalSeparator).main);
    if (breach_of(limits_.limits(), record, s_->DecimalSeparator) != LimitBreach::None) {
      j["alarm"] = true;
    }
    out_ << json_line(j) << '\n' << std::flush;
    if (out_) return;
    // The reader went away (a closed pipe, a closed terminal): the log still
    // matters more than the lines.
    printing_ = false;
    if (env_.stop_requested()) return;  // the write was cut short by the stop itself
    end_progress();
    err_ << kPrefix
         << "standard output is closed; readings are no longer printed, the "
            "recording goes on\n";
  }

  void show_progress() {
    const real_Record& last = s_->log[s_->log.count()];
    std::string line = std::to_string(s_->log.count()) + " readings, last " + last.Main_No.str() +
                       " " + last.Main_Range.str();
    const std::size_t shown = line.size();
    if (line.size() < progress_width_) line.append(progress_width_ - line.size(), ' ');
    progress_width_ = shown;
    err_ << '\r' << line << std::flush;
  }

  void end_progress() {
    if (progress_width_ > 0) err_ << '\n';
    progress_width_ = 0;
  }

  void start_publishing() {
    if (o_.influx) {
      for (const std::string& warning : influx_warnings(*o_.influx)) {
        err_ << kPrefix << "warning: " << warning << '\n';
      }
      InfluxTarget target = *o_.influx;
      target.key = key_;  // empty for a meter recorded alone
      influx_ = std::make_unique<RecordInflux>(recording_, target, env_.publish_timing, o_.trace,
                                               env_.publish_capacity);
    }
    if (!o_.publish) return;
    for (const std::string& warning : password_warnings(*o_.publish)) {
      err_ << kPrefix << "warning: " << warning << '\n';
    }
    PublishTarget target = *o_.publish;
    if (!key_.empty()) target.prefix += "/" + key_;  // PREFIX/A/reading, PREFIX/B/reading
    publishing_ = std::make_unique<RecordPublishing>(recording_, target, env_.publish_timing,
                                                     o_.trace, env_.publish_capacity);
  }

  // Conditional recording waits for its condition from the meter's first
  // reading on; the display of the readings (the JSON lines) starts with the log.
  void arm() {
    if (!o_.start_when) return;
    const GateRule rule{*o_.start_when, static_cast<std::size_t>(o_.pretrigger), o_.stop_when,
                        o_.stop_after};
    const std::string condition = condition_text(*o_.start_when);
    recording_.arm(rule, [this, condition] {
      end_progress();
      err_ << kPrefix << "triggered: " << condition << '\n';
    });
    err_ << kPrefix << "armed: the log starts when " << condition << '\n';
  }

  // Each line typed on the note input is a note in the session, with its time.
  void take_notes() {
    if (!notes_) return;
    for (std::string& line : notes_->take()) {
      if (line.empty()) continue;
      sessions_.event(SessionEvent::Note, {line});
      end_progress();
      err_ << kPrefix << "note: " << line << '\n';
    }
  }

  void report_broker() {
    tell_lines(alarms_->take_lines());
    if (influx_) tell_lines(influx_->take_lines());
    if (publishing_) tell_lines(publishing_->take_lines());
  }

  void tell_lines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      end_progress();
      err_ << kPrefix << line << '\n';
    }
  }

  // As the broker's: Failed when readings were left unwritten, Dropped when
  // the full queue let some go.
  Exit finish_influx() {
    if (!influx_) return Exit::Done;
    const std::size_t left = influx_->finish();
    tell_lines(influx_->take_lines());
    const std::uint64_t dropped = influx_->dropped();
    if (dropped > 0) {
      err_ << kPrefix << dropped
           << " readings were dropped from the full queue and never reached InfluxDB\n";
    }
    if (left > 0) {
      err_ << kPrefix << left << " readings were not written to InfluxDB\n";
      return Exit::Failed;
    }
    return dropped > 0 ? Exit::Dropped : Exit::Done;
  }

  // Failed when readings were left that the broker never took, Dropped when
  // the full queue let some go.
  Exit finish_publishing() {
    if (!publishing_) return Exit::Done;
    const std::size_t left = publishing_->finish();
    report_broker();
    const std::uint64_t dropped = publishing_->dropped();
    if (dropped > 0) {
      err_ << kPrefix << dropped
           << " readings were dropped from the full queue and never reached the broker\n";
    }
    if (left > 0) {
      err_ << kPrefix << left << " readings were not delivered to the broker\n";
      return Exit::Failed;
    }
    return dropped > 0 ? Exit::Dropped : Exit::Done;
  }

  // Nothing to write before the first reading; a log of none cannot be read back.
  bool save() {
    if (!out_file_ || s_->log.count() == 0 || s_->log.count() == saved_count_) return true;
    std::string why;
    bool saved = false;
    try {
      saved = SaveTextLog(s_->log, *out_file_, &why);
    } catch (const std::exception& e) {
      why = reason_of(e);
    }
    if (!saved) {
      end_progress();
      err_ << kPrefix << "could not save " << out_file_->string() << ": " << why << '\n';
      return false;
    }
    saved_count_ = s_->log.count();
    sessions_.saved(*out_file_);
    return true;
  }

  const RecordOptions& o_;
  std::string key_;
  std::optional<std::filesystem::path> out_file_;
  const RecordEnvironment& env_;
  std::ostream& out_;
  std::ostream& err_;
  std::unique_ptr<DebugTrace> sink_;
  Recording recording_;
  MeterState* s_;
  PortTrace& trace_;
  SerialPorts& ports_;
  Acquisition& acquisition_;
  SessionKeeper& sessions_;
  LimitWatch& limits_;
  Clock::time_point lost_at_{};
  Clock::time_point next_save_{};
  std::unique_ptr<RecordPublishing> publishing_;
  std::unique_ptr<RecordInflux> influx_;
  std::unique_ptr<RecordAlarms> alarms_;
  std::unique_ptr<InputLines> notes_;
  std::int64_t reported_ = 0;
  std::int64_t saved_count_ = 0;
  std::size_t progress_width_ = 0;
  bool printing_ = true;
};

// Several meters in one run, on one tick grid: each its own recording and
// session, all of one group (the first meter's). Start finds them one after the other; each
// Start passes over the ports the meters before it hold. A run that finds
// fewer meters than asked records none.
class MeterSet {
 public:
  MeterSet(const RecordOptions& o, const RecordEnvironment& env, std::ostream& out,
           std::ostream& err)
      : o_(o), env_(env), later_env_(env), err_(err) {
    env_.progress = false;  // one progress line cannot show several meters
    later_env_.progress = false;
    later_env_.note_input = -1;  // a typed note goes into meter A's session, once
    for (int i = 0; i < o.meters; ++i) {
      const MeterRole role{std::string(1, static_cast<char>('A' + i))};
      recorders_.push_back(
          std::make_unique<Recorder>(o_, i == 0 ? env_ : later_env_, out, err, role));
      exits_.push_back(Exit::Done);
    }
  }

  Exit run() {
    if (find_meters()) record();
    Exit exit = Exit::Done;
    for (std::size_t i = 0; i < recorders_.size(); ++i) {
      exit = worse(exit, recorders_[i]->finish(exits_[i]));
    }
    return exit;
  }

 private:
  bool find_meters() {
    for (std::size_t i = 0; i < recorders_.size(); ++i) {
      if (i > 0) recorders_[i]->join_group(recorders_[0]->group_for_others());
      exits_[i] = recorders_[i]->begin();
      if (recorders_[i]->running()) continue;
      if (exits_[i] == Exit::NoMeter) {
        err_ << kPrefix << "found " << i << " of the " << recorders_.size() << " meters\n";
      }
      for (std::size_t j = 0; j < i; ++j) exits_[j] = exits_[i];
      return false;
    }
    return true;
  }

  // Ticks on one fixed grid for all meters, until each has ended.
  void record() {
    auto deadline = env_.steady_now();
    std::vector<bool> going(recorders_.size(), true);
    for (std::int64_t ticks = 1; std::find(going.begin(), going.end(), true) != going.end();
         ++ticks) {
      deadline += kTick;
      env_.sleep_until(deadline);
      if (env_.stop_requested()) return;
      const auto now = env_.steady_now();
      if (now - deadline > kTick) deadline = now;
      for (std::size_t i = 0; i < recorders_.size(); ++i) {
        if (!going[i]) continue;
        if (const std::optional<Exit> exit = recorders_[i]->step(now, ticks)) {
          exits_[i] = *exit;
          going[i] = false;
        }
      }
    }
  }

  // Failed before Disconnected before Dropped before Done; else the first.
  static Exit worse(Exit a, Exit b) {
    const auto rank = [](Exit e) {
      switch (e) {
        case Exit::Done:
          return 0;
        case Exit::Dropped:
          return 1;
        case Exit::Failed:
          return 4;
        default:
          return 3;
      }
    };
    return rank(b) > rank(a) ? b : a;
  }

  const RecordOptions& o_;
  RecordEnvironment env_;
  RecordEnvironment later_env_;
  std::ostream& err_;
  std::vector<std::unique_ptr<Recorder>> recorders_;
  std::vector<Exit> exits_;
};

bool stderr_is_terminal() {
#if defined(_WIN32)
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

RecordEnvironment system_record_environment() {
  install_stop_handlers();
  ignore_broken_pipe();
  RecordEnvironment env;
  env.steady_now = [] { return Clock::now(); };
  env.sleep_until = sleep_until_stopped;
  env.stop_requested = stop_requested;
  env.local_now = now_local;
  env.progress = stderr_is_terminal();
  env.session_folder = default_session_folder();
  env.note_input = 0;  // standard input
  env.group_file = default_group_file();
  return env;
}

int run_record(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return run_record(args, out, err, system_record_environment());
}

int run_record(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const RecordEnvironment& env) {
  try {
    RecordOptions o;
    try {
      o = read_record_options(args);
    } catch (const UsageError& e) {
      err << kPrefix << e.what() << '\n';
      return static_cast<int>(Exit::BadArguments);
    }
    if (o.meters > 1) return static_cast<int>(MeterSet(o, env, out, err).run());
    Recorder recorder(o, env, out, err);
    return static_cast<int>(recorder.run());
  } catch (const std::exception& e) {
    err << kPrefix << reason_of(e) << '\n';
    return static_cast<int>(Exit::Failed);
  }
}

}  // namespace tarvo::cli
