#include "sessions_command.h"

#include <nlohmann/json.hpp>

#include "files/session_group.h"
#include "files/session_store.h"
#include "files/session_writer.h"
#include "options.h"
#include "reading_json.h"

namespace tarvo::cli {

namespace {

constexpr const char* kPrefix = "tarvo-cli sessions: ";

void print_plain(const SessionSummary& s, const std::string& group, std::ostream& out) {
  out << format_iso_offset(s.header.started) << "  " << s.readings << " readings  "
      << (session_recording(s) ? "recording" : session_state_name(s.state)) << "  "
      << (group.empty() ? "" : "group " + group + "  ") << s.path.string() << '\n';
}

void print_json(const SessionSummary& s, const std::string& group, std::ostream& out) {
  nlohmann::ordered_json j;
  j["path"] = s.path.string();
  j["started"] = format_iso_offset(s.header.started);
  j["readings"] = s.readings;
  j["state"] = session_state_name(s.state);
  if (!group.empty()) j["group"] = group;
  out << json_line(j) << '\n';
}

}  // namespace

int run_sessions(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return run_sessions(args, out, err, default_session_folder());
}

int run_sessions(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::filesystem::path& folder) {
  bool json = false;
  try {
    OptionReader r(args);
    while (!r.done()) {
      if (r.take_flag("--json")) {
        json = true;
      } else {
        throw UsageError("unexpected argument \"" + r.take_positional() + "\"");
      }
    }
  } catch (const UsageError& e) {
    err << kPrefix << e.what() << '\n';
    return 2;
  }
  const std::vector<SessionSummary> sessions = list_sessions(folder);
  const std::vector<std::string> groups = session_groups(sessions);
  for (std::size_t i = 0; i < sessions.size(); ++i) {
    json ? print_json(sessions[i], groups[i], out) : print_plain(sessions[i], groups[i], out);
  }
  return 0;
}

}  // namespace tarvo::cli
