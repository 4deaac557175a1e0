#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvo {

// A settings file of "key = value" lines, as a service reads it:
//   # a comment (a line whose first character, after blanks, is "#" or ";")
//   interval = 10
//   prefix = "lab/bench 1"   (quotes keep blanks and "#"; \" and \\ inside them)
// Blank lines are skipped; blanks around keys and values do not count. There
// are no comments at the end of a line: a value may hold "#".
struct KeyRule {
  std::string_view key;
  bool repeatable = false;  // may stand on several lines, each value kept
};

struct KeyValueEntry {
  std::string key;
  std::string value;
  int line = 0;  // 1 for the first line of the file
  friend bool operator==(const KeyValueEntry&, const KeyValueEntry&) = default;
};

// The entries in the order of the file, or the first problem as
// "line N: ..." (an unknown key, a key given twice, a line without "=", an
// empty value, an unclosed quote).
std::variant<std::vector<KeyValueEntry>, std::string> parse_key_values(
    std::string_view text, const std::vector<KeyRule>& rules);

// "yes", "true", "on", "1" and "no", "false", "off", "0" (any case); nullopt
// for anything else.
std::optional<bool> parse_switch(std::string_view value);

}  // namespace tarvo
