#pragma once

// What the window's combined chart draws: the sessions of meters recorded
// side by side, found by their shared group, and their channels (each meter
// and each formula) as lines on one time axis.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/session_file.h"

namespace tarvo {

// Sessions that share a group id, in the order they started: meter A first.
struct SessionGroup {
  std::string id;
  std::vector<SessionSummary> sessions;
  bool recording = false;  // one of them is still being written
};

// The groups of two or more sessions among summaries, the newest first.
std::vector<SessionGroup> groups_of_sessions(const std::vector<SessionSummary>& summaries);

// One line of the chart: a channel in one unit. Time in milliseconds since
// 1970 UTC; a NaN value breaks the line where the channel has no value.
struct ChannelLine {
  std::string name;  // "A", "B", ..., or a formula's name
  std::string unit;
  std::vector<std::pair<std::int64_t, double>> points;
};

struct CombinedLines {
  std::vector<ChannelLine> lines;
  std::string error;  // English; empty when all went well
};

// "P=A*B; Q=integral(B)" (';' or a line break between them) as name and
// formula texts; error says what is wrong.
std::vector<std::pair<std::string, std::string>> split_formula_list(std::string_view text,
                                                                    std::size_t meters,
                                                                    std::string& error);

// Reads the sessions and lines them up as `tarvo-cli combine` does: on the
// first session's readings, each other meter's nearest within tolerance_ms
// (half the first session's interval when none). A channel whose unit
// changes (the meter was turned to another function) gets a line per unit.
// Lines longer than most_points are thinned to the least and greatest value
// of each stretch, so that a week of readings still draws at once.
CombinedLines read_combined_lines(const std::vector<std::filesystem::path>& sessions,
                                  std::string_view formulas,
                                  std::optional<std::int64_t> tolerance_ms,
                                  std::size_t most_points = 20000);

// The least and greatest value of each of most/2 stretches of the line, in
// time order; breaks are kept.
std::vector<std::pair<std::int64_t, double>> thin_line(
    const std::vector<std::pair<std::int64_t, double>>& points, std::size_t most);

}  // namespace tarvo
