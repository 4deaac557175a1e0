#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "log/commit_listener.h"
#include "log/statistics.h"

namespace tarvo {

// A high and a low limit (either may be missing) for one function and unit.
struct Limits {
  RunKey key;
  std::optional<double> high, low;

  bool any() const { return high || low; }
};

enum class LimitBreach { None, High, Low };

// Whether a record is outside the limits: only a number of the limits'
// function and unit can be; an overload is above any high limit (or below
// any low one, for -OL).
LimitBreach breach_of(const Limits& limits, const real_Record& record,
                      std::string_view decimal_separator);

// "high" or "low": how the session file and the command line name a breach.
std::string_view breach_name(LimitBreach breach);

// Checks each committed reading against the limits of this run and tells
// the sinks of each one outside them (the session file, the alarm, the
// command line). Counts them for the Statistics window.
class LimitWatch final : public CommitListener {
 public:
  using Sink = std::function<void(const real_Record&, LimitBreach)>;

  explicit LimitWatch(const std::string& decimal_separator) : separator_(decimal_separator) {}

  void set_limits(const Limits& limits);
  // Limits for the function and unit of the next committed reading (the
  // command line's, which knows no function beforehand).
  void set_limits_for_next(std::optional<double> high, std::optional<double> low);
  const Limits& limits() const { return limits_; }
  void add_sink(Sink sink) { sinks_.push_back(std::move(sink)); }
  // The one alarm of whoever shows the readings; an empty one removes it.
  void set_alarm(Sink alarm) { alarm_ = std::move(alarm); }
  // The breaches since the limits were set.
  std::int64_t breaches() const { return breaches_; }
  // The breach of the newest committed reading, None when it was inside.
  LimitBreach last() const { return last_; }

  void reading_committed(const real_Record& record) override;

 private:
  const std::string& separator_;
  Limits limits_;
  std::vector<Sink> sinks_;
  Sink alarm_;
  std::int64_t breaches_ = 0;
  LimitBreach last_ = LimitBreach::None;
  bool key_from_next_ = false;
};

}  // namespace tarvo
