#include "combine/combined_series.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "combine/combined_rows.h"
#include "combine/formula.h"
#include "combine/time_base.h"
#include "files/session_group.h"
#include "files/session_writer.h"

namespace tarvo {

namespace {

constexpr double kBreak = std::numeric_limits<double>::quiet_NaN();

std::string trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

bool is_meter_name(const std::string& name, std::size_t meters) {
  return name.size() == 1 && name[0] >= 'A' && static_cast<std::size_t>(name[0] - 'A') < meters;
}

std::int64_t started_ms(const SessionSummary& s) {
  return utc_milliseconds(s.header.started);
}

// Each channel's lines, by unit in the order the units first came.
class LineBuilder {
 public:
  void add(std::size_t channel, const std::string& name, std::int64_t ms,
           const CombinedCell& cell) {
    if (!cell.value) {
      for (auto& [key, index] : open_) {
        if (key.first == channel) lines_[index].points.emplace_back(ms, kBreak);
      }
      return;
    }
    const auto key = std::make_pair(channel, cell.unit);
    auto found = open_.find(key);
    if (found == open_.end()) {
      found = open_.emplace(key, lines_.size()).first;
      lines_.push_back({name, cell.unit, {}});
    }
    // The other units of the channel break where this one goes on.
    for (auto& [other, index] : open_) {
      if (other.first == channel && other != key) lines_[index].points.emplace_back(ms, kBreak);
    }
    lines_[found->second].points.emplace_back(ms, *cell.value);
  }
  std::vector<ChannelLine> take() { return std::move(lines_); }

 private:
  std::map<std::pair<std::size_t, std::string>, std::size_t> open_;
  std::vector<ChannelLine> lines_;
};

bool read_meters(const std::vector<std::filesystem::path>& sessions,
                 std::vector<std::vector<MeterReading>>& meters, std::int64_t& interval,
                 std::string& error) {
  for (const std::filesystem::path& file : sessions) {
    std::vector<MeterReading>& readings = meters.emplace_back();
    MeterReadingSink sink(readings, ".");
    LoadError why;
    const std::optional<SessionContents> session = ReadSessionRecords(file, ".", sink, {}, &why);
    if (!session) {
      error = file.filename().string() + ": " + why.reason;
      return false;
    }
    if (meters.size() == 1) interval = session->header.interval;
    put_in_time_order(readings);
  }
  return true;
}

}  // namespace

std::vector<SessionGroup> groups_of_sessions(const std::vector<SessionSummary>& summaries) {
  const std::vector<std::string> ids = session_groups(summaries);
  std::map<std::string, SessionGroup> by_id;
  for (std::size_t i = 0; i < summaries.size(); ++i) {
    if (ids[i].empty()) continue;
    SessionGroup& g = by_id[ids[i]];
    g.id = ids[i];
    g.sessions.push_back(summaries[i]);
    g.recording = g.recording || session_recording(summaries[i]);
  }
  std::vector<SessionGroup> groups;
  for (auto& [id, g] : by_id) {
    if (g.sessions.size() < 2) continue;
    // Sessions started in the same second keep their order by path.
    std::sort(g.sessions.begin(), g.sessions.end(), [](const auto& a, const auto& b) {
      return std::pair(started_ms(a), a.path) < std::pair(started_ms(b), b.path);
    });
    groups.push_back(std::move(g));
  }
  std::sort(groups.begin(), groups.end(), [](const SessionGroup& a, const SessionGroup& b) {
    return started_ms(a.sessions.front()) > started_ms(b.sessions.front());
  });
  return groups;
}

std::vector<std::pair<std::string, std::string>> split_formula_list(std::string_view text,
                                                                    std::size_t meters,
                                                                    std::string& error) {
  std::vector<std::pair<std::string, std::string>> formulas;
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find_first_of(";\n", begin);
    if (end == std::string_view::npos) end = text.size();
    const std::string part = trimmed(text.substr(begin, end - begin));
    begin = end + 1;
    if (part.empty()) continue;
    const std::size_t eq = part.find('=');
    const std::string name = eq == std::string::npos ? std::string() : trimmed(part.substr(0, eq));
    if (name.empty()) {
      error = "\"" + part + "\" needs a name: NAME=EXPR";
      return {};
    }
    if (name == "Time" || is_meter_name(name, meters)) {
      error = "the name \"" + name + "\" is taken by a column";
      return {};
    }
    for (const auto& [earlier, ignored] : formulas) {
      if (earlier == name) {
        error = "two formulas are named \"" + name + "\"";
        return {};
      }
    }
    formulas.emplace_back(name, part.substr(eq + 1));
  }
  return formulas;
}

CombinedLines read_combined_lines(const std::vector<std::filesystem::path>& sessions,
                                  std::string_view formula_text,
                                  std::optional<std::int64_t> tolerance_ms,
                                  std::size_t most_points) {
  CombinedLines out;
  std::vector<NamedFormula> formulas;
  for (const auto& [name, text] : split_formula_list(formula_text, sessions.size(), out.error)) {
    try {
      formulas.push_back({name, Formula(text, sessions.size())});
    } catch (const FormulaError& e) {
      out.error = name + ": " + e.what();
    }
    if (!out.error.empty()) return out;
  }
  if (!out.error.empty()) return out;
  std::vector<std::vector<MeterReading>> meters;
  std::int64_t interval = 1;
  if (!read_meters(sessions, meters, interval, out.error)) return out;
  CombinedRows rows(meters, formulas, tolerance_ms.value_or(interval * 1000 / 2));
  LineBuilder builder;
  CombinedRow row;
  try {
    while (rows.next(row)) {
      const std::int64_t ms = utc_milliseconds(row.time);
      for (std::size_t c = 0; c < row.cells.size(); ++c) {
        builder.add(c, rows.channels()[c], ms, row.cells[c]);
      }
    }
  } catch (const UnitError& e) {
    out.error = e.what();
  }
  out.lines = builder.take();
  for (ChannelLine& line : out.lines) line.points = thin_line(line.points, most_points);
  return out;
}

std::vector<std::pair<std::int64_t, double>> thin_line(
    const std::vector<std::pair<std::int64_t, double>>& points, std::size_t most) {
  if (points.size() <= most || most < 4) return points;
  const std::size_t stretch = (points.size() * 2 + most - 1) / most;
  std::vector<std::pair<std::int64_t, double>> thin;
  thin.reserve(most + 16);
  for (std::size_t begin = 0; begin < points.size(); begin += stretch) {
    const std::size_t end = std::min(points.size(), begin + stretch);
    std::optional<std::size_t> low, high;
    bool broken = false;
    for (std::size_t i = begin; i < end; ++i) {
      if (std::isnan(points[i].second)) {
        broken = true;
        continue;
      }
      if (!low || points[i].second < points[*low].second) low = i;
      if (!high || points[i].second > points[*high].second) high = i;
    }
    if (low && high) {
      thin.push_back(points[std::min(*low, *high)]);
      if (*low != *high) thin.push_back(points[std::max(*low, *high)]);
    }
    if (broken) thin.emplace_back(points[end - 1].first, kBreak);
  }
  return thin;
}

}  // namespace tarvo
