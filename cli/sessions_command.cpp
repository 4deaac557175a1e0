#include "sessions_command.h"

#include <nlohmann/json.hpp>

#include "files/session_store.h"
#include "files/session_writer.h"
#include "options.h"
#include "reading_json.h"

namespace tarvo::cli {

namespace {

constexpr const char* kPrefix = "tarvo-cli sessions: ";

void print_plain(const SessionSummary& s, std::ostream& out) {
  out << format_iso_offset(s.header.started) << "  " << s.readings << " readings  "
      << (session_recording(s) ? "recording" : session_state_name(s.state)) << "  "
      << (s.header.group.empty() ? "" : "group " + s.header.group + "  ") << s.path.string()
      << '\n';
}

void print_json(const SessionSummary& s, std::ostream& out) {
  nlohmann::ordered_json j;
  j["path"] = s.path.string();
  j["started"] = format_iso_offset(s.header.started);
  j["readings"] = s.readings;
  j["state"] = session_state_name(s.state);
  if (!s.header.group.empty()) j["group"] = s.header.group;
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
  for (const SessionSummary& s : list_sessions(folder)) {
    json ? print_json(s, out) : print_plain(s, out);
  }
  return 0;
}

}  // namespace tarvo::cli
