#include "usage.h"

#include "version.h"

namespace tarvo::cli {
namespace {

// One row a command: the synopsis after "tarvo-cli " (continuation lines
// start with a space), what it does, its options and its exit status. Both
// the tool's help and each command's help are laid out from these rows.
struct CommandHelp {
  std::string_view name;
  std::string_view synopsis;
  std::string_view summary;
  std::string_view options;
  std::string_view exit_status;
};

constexpr CommandHelp kCommands[] = {
    {"decode",
     "decode [--family bench|compact] [--decimal-separator SEP] [--language N] [CHUNK ...]",
     "Show what Tarvo makes of the given bytes. Each CHUNK is a string of hex byte\n"
     "pairs (spaces or hyphens allowed); without CHUNKs they are read from standard\n"
     "input, one per line. Prints one JSON line per chunk.\n",
     "  --family FAMILY          bench (14-byte frames, the default) or compact (8-byte frames)\n"
     "  --decimal-separator SEP  the decimal mark of numbers and ranges, \".\" (default)\n"
     "                           or \",\"\n"
     "  --language N             1 English, 2 Chinese, 3 French, 4 German, 5 Spanish\n"
     "                           (default: from LC_ALL, LC_MESSAGES or LANG)\n",
     "0 every chunk was hex byte pairs, 2 a malformed chunk or bad arguments"},
    {"simulate",
     "simulate [--family bench|compact] [--scenario FILE] [--link PATH]\n"
     "         [--hangup-after SECONDS]",
     "Start a simulated meter on a pseudo-terminal and print the path of its port\n"
     "on the first line. It plays the built-in demo, or the scenario FILE (see\n"
     "sim/SCENARIOS.md), until interrupted.\n",
     "  --family FAMILY          the meter family to play: bench (default) or compact\n"
     "  --scenario FILE          play this scenario file instead of the demo\n"
     "  --link PATH              make a symbolic link to the port, removed at the end\n"
     "  --hangup-after SECONDS   close the line after that many seconds\n",
     "0 ended, 1 the pseudo-terminal failed, 2 bad arguments"},
    {"record",
     "record [--port PATH]... [--interval SECONDS] [--count N | --duration SECONDS]\n"
     "       [--out FILE.txt] [--language N] [--decimal-separator SEP] [--trace]\n"
     "       [--reconnect-timeout SECONDS] [--meters N] [--high X] [--low Y] [--hysteresis H]\n"
     "       [--min-duration SECONDS] [--stale SECONDS] [--notify]\n"
     "       [--start-when COND [--pretrigger N] [--stop-when COND] [--stop-after N|DUR]]\n"
     "       [--publish mqtt://[user@]host[:port]/topic/prefix [--password-file FILE]\n"
     "        [--discovery]]\n"
     "       [--influx http://host:port (--influx-db NAME |\n"
     "        --influx-org ORG --influx-bucket BUCKET [--influx-token-file FILE])]\n"
     "       [--config FILE] [--alarm-command CMD...]",
     "Find the meter as Start does (the named ports first, then every serial port),\n"
     "then log a reading every --interval seconds until N readings, the duration or\n"
     "Ctrl+C. Prints one JSON line per reading. Every reading also goes into a\n"
     "session file as it is logged, and a meter that goes away is waited for.\n"
     "A line typed on standard input while it records is a note in the session file.\n",
     "  --port PATH              try this device first (repeat for several, in order)\n"
     "  --interval SECONDS       seconds between readings, 1 to 120 (default 1)\n"
     "  --count N                stop after N readings\n"
     "  --duration SECONDS       stop after that many seconds\n"
     "  --out FILE.txt           save the log there at the end, and every minute\n"
     "  --language N             the language of the texts, 1 to 5 (as for decode)\n"
     "  --decimal-separator SEP  the decimal mark of the numbers, \".\" (default) or \",\"\n"
     "  --trace                  show the serial traffic on standard error\n"
     "  --meters N               record N meters at once, each into its own session of\n"
     "                           one group; each JSON line has \"meter\":\"A\", \"B\", ...,\n"
     "                           --out FILE.txt becomes FILE-A.txt, FILE-B.txt, ... and\n"
     "                           each meter publishes under PREFIX/A/, PREFIX/B/, ...\n"
     "  --reconnect-timeout SECONDS\n"
     "                           end when a lost meter is not back within that time\n"
     "                           (0: at once; default: wait as long as the recording runs)\n"
     "  --high X, --low Y        limits (with a \".\") for the function and unit of the\n"
     "                           first reading: a reading outside them gets\n"
     "                           \"alarm\":true and a line on standard error; each\n"
     "                           excursion is one alarm, written to the session file\n"
     "  --hysteresis H           an excursion ends when the value is back past the\n"
     "                           limit by H (default 0)\n"
     "  --min-duration SECONDS   a shorter excursion is no alarm (default 0)\n"
     "  --stale SECONDS          no reading for that long is an alarm too\n"
     "  --notify                 show each alarm by the desktop's notification service\n"
     "  --alarm-command CMD...   the last option: run CMD (no shell) at each alarm's\n"
     "                           start and end, with TARVO_ALARM, TARVO_KIND,\n"
     "                           TARVO_VALUE, TARVO_UNIT, TARVO_LIMIT and TARVO_TIME\n"
     "                           in its environment; killed after 10 s\n"
     "  --start-when COND        log from the first reading that fulfils COND:\n"
     "                           rises:LEVEL, falls:LEVEL (the value crosses LEVEL up or\n"
     "                           down) or at:HH:MM[:SS] (the next such time of day)\n"
     "  --pretrigger N           with it the N readings before (default 0)\n"
     "  --stop-when COND         end at the first reading after the trigger that fulfils COND\n"
     "  --stop-after N|DUR       end after N readings or a duration (90s, 15m, 2h) from the\n"
     "                           trigger\n"
     "  --publish URL            also send every reading to an MQTT broker (mqtts:// for TLS)\n"
     "  --password-file FILE     the broker password, from a file only you may read\n"
     "                           (chmod 600); else from TARVO_MQTT_PASSWORD. A password\n"
     "                           in the URL (user:password@) works, but other users can\n"
     "                           see it for a moment\n"
     "  --discovery              announce the readings to Home Assistant (MQTT discovery\n"
     "                           under homeassistant/); it is told again when it says\n"
     "                           \"online\" on homeassistant/status\n"
     "  --influx URL             also write every reading to InfluxDB (http:// or https://)\n"
     "  --influx-db NAME         the database of an InfluxDB 1.x\n"
     "  --influx-org ORG, --influx-bucket BUCKET\n"
     "                           the organization and bucket of an InfluxDB 2.x\n"
     "  --influx-token-file FILE the InfluxDB token, from a file only you may read\n"
     "                           (chmod 600); else from TARVO_INFLUX_TOKEN\n"
     "  --config FILE            take the options from FILE, \"key = value\" lines with\n"
     "                           the options' names as keys (the manual lists them);\n"
     "                           what the command line gives replaces the file's\n",
     "0 done, 1 log not saved, readings left undelivered to the broker or\n"
     "InfluxDB or left out of the session file, 2 bad arguments, 3 no meter\n"
     "found, 4 meter disconnected and not back in time, 5 readings dropped\n"
     "from the full queue of the broker or InfluxDB (the log keeps them)"},
    {"sessions", "sessions [--json]",
     "List the kept session files, newest first: start, readings, state\n"
     "(unfinished, stopped or saved) and path.\n",
     "  --json                   one JSON line per session instead of the text\n",
     "0 listed, 2 bad arguments"},
    {"scan", "scan [--port PATH]... [--json]",
     "List the ports Start would try, in its order: the named ones, then the\n"
     "system's. For each: what the system knows of it (USB vendor and product,\n"
     "serial number, driver), whether it opened and if not why, and which meter\n"
     "family's frames it carried while all of them listened for one second.\n",
     "  --port PATH              list this device first (repeat for several, in order)\n"
     "  --json                   one JSON line per port instead of the text\n",
     "0 a meter was found, 1 the scan failed, 2 bad arguments, 3 no meter found"},
    {"convert", "convert IN OUT [--decimal-separator SEP]",
     "Read the text log or session file IN as File > Open does and write OUT by\n"
     "its extension: .txt, .xls, .xlsx or .csv.\n",
     "  --decimal-separator SEP  the decimal mark of the numbers in IN, \".\" or \",\"\n"
     "                           (default: the locale's, from LC_ALL, LC_NUMERIC or LANG)\n",
     "0 written, 1 IN refused or OUT not written, 2 bad arguments"},
    {"stats", "stats IN [--json] [--decimal-separator SEP]",
     "The figures of each run of the log IN (a text log or a session file; a run is\n"
     "a stretch of one function and unit) in log order, then of the whole log: count,\n"
     "overloads, minimum and maximum with their times, mean, standard deviation.\n",
     "  --json                   one JSON line per run and one for the log\n"
     "  --decimal-separator SEP  as for convert\n",
     "0 printed, 1 IN refused, 2 bad arguments"},
    {"combine", "combine SESSION... OUT [--formula NAME=EXPR]... [--tolerance SECONDS]",
     "Line up the readings of two or more session files (meters A, B, ... in the\n"
     "order given) on the time base of the first and write OUT by its extension,\n"
     ".csv or .xlsx: one row per reading of A with its time, each meter's value and\n"
     "unit in base units, then the formula channels. A meter without a reading\n"
     "within the tolerance of the row's time leaves its cells empty.\n",
     "  --formula NAME=EXPR      a channel computed from the meters (repeatable): the\n"
     "                           letters A, B, ..., numbers, + - * / (the typographic\n"
     "                           signs too), parentheses and integral(X), the running\n"
     "                           integral over time in X's unit times hours (ampere-\n"
     "                           or watt-hours), which holds its sum across gaps; units\n"
     "                           follow the arithmetic: A*B of volts and amperes is in W\n"
     "  --tolerance SECONDS      how far a reading may be from the row's time\n"
     "                           (default: half the first session's interval)\n",
     "0 written, 1 a session refused, units that do not go together (V + A) or\n"
     "OUT not written, 2 bad arguments or a formula that cannot be read"},
    {"chart", "chart IN OUT [--decimal-separator SEP]",
     "Save the chart of the last page of the log IN: OUT.jpg or OUT.png the\n"
     "1910 x 1080 report picture, OUT.bmp the chart at 668 x 395. Draws offscreen\n"
     "unless QT_QPA_PLATFORM is set.\n",
     "  --decimal-separator SEP  as for convert\n", "as for convert"},
};

constexpr std::string_view kHelpOption = "  -h, --help               show this text\n";

// Every line of `text` after `indent`; continuation lines of a synopsis keep
// their own leading spaces on top of it.
std::string indented(std::string_view text, std::string_view indent) {
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    if (!line.empty()) out.append(indent).append(line);
    out += '\n';
    start = end + 1;
  }
  return out;
}

// The first line of `text` after `first`, the others after `rest`.
std::string hanging(std::string_view text, std::string_view first, std::string_view rest) {
  const std::size_t break_at = text.find('\n');
  std::string out = std::string(first) + std::string(text.substr(0, break_at)) + '\n';
  if (break_at != std::string_view::npos) out += indented(text.substr(break_at + 1), rest);
  return out;
}

}  // namespace

std::string tool_usage() {
  std::string out =
      "Usage: tarvo-cli COMMAND [OPTIONS]\n"
      "  or:  tarvo-cli COMMAND --help\n"
      "  or:  tarvo-cli --version\n"
      "Show, record, simulate and convert what a Tarvo meter sends, without a window.\n";
  // Blank lines part the synopsis, the summary, the options and the exit
  // status, so that help2man makes a paragraph of each.
  for (const CommandHelp& c : kCommands) {
    out += "\nCommand " + std::string(c.name) + ":\n";
    out += hanging(c.synopsis, "  tarvo-cli ", "            ");
    out += '\n';
    out += indented(c.summary, "  ");
    out += '\n';
    out += c.options;
    out += '\n';
    out += hanging(c.exit_status, "  Exit status: ", "               ");
  }
  out +=
      "\nOptions:\n"
      "  -h, --help     show this text (after a command: that command's help)\n"
      "  --version      show the version\n"
      "An option given twice is refused with status 2, except --port, which repeats.\n";
  return out;
}

std::optional<std::string> command_usage(std::string_view command) {
  for (const CommandHelp& c : kCommands) {
    if (c.name != command) continue;
    const std::string lead = "Usage: tarvo-cli ";
    std::string out = hanging(c.synopsis, lead, std::string(lead.size(), ' '));
    out += '\n';
    out += c.summary;
    out += "\nOptions:\n";
    out += c.options;
    out += kHelpOption;
    out += '\n';
    out += hanging(c.exit_status, "Exit status: ", "             ");
    return out;
  }
  return std::nullopt;
}

std::string tool_version() {
  return "tarvo-cli " + std::string(kVersion) + '\n';
}

}  // namespace tarvo::cli
