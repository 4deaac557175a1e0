#include "files/key_value_file.h"

#include <algorithm>
#include <cctype>

namespace tarvo {
namespace {

std::string_view trimmed(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string at_line(int line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

// The value between quotes with its escapes undone; nullopt when the closing
// quote is missing or text follows it.
std::optional<std::string> unquoted(std::string_view s) {
  std::string out;
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] == '"') {
      if (i + 1 != s.size()) return std::nullopt;
      return out;
    }
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '"' || s[i + 1] == '\\')) ++i;
    out += s[i];
  }
  return std::nullopt;
}

const KeyRule* rule_for(std::string_view key, const std::vector<KeyRule>& rules) {
  const auto it =
      std::find_if(rules.begin(), rules.end(), [&](const KeyRule& r) { return r.key == key; });
  return it == rules.end() ? nullptr : &*it;
}

int line_of(std::string_view key, const std::vector<KeyValueEntry>& entries) {
  for (const KeyValueEntry& e : entries) {
    if (e.key == key) return e.line;
  }
  return 0;
}

// One meaningful line into an entry, or the problem without its line number.
std::variant<KeyValueEntry, std::string> read_line(std::string_view text,
                                                   const std::vector<KeyRule>& rules,
                                                   const std::vector<KeyValueEntry>& so_far) {
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return std::string("expected \"key = value\"");
  const std::string key(trimmed(text.substr(0, eq)));
  if (key.empty()) return std::string("a key is missing before \"=\"");
  const KeyRule* rule = rule_for(key, rules);
  if (rule == nullptr) return "unknown key '" + key + "'";
  if (!rule->repeatable) {
    if (const int first = line_of(key, so_far)) {
      return "'" + key + "' is already given on line " + std::to_string(first);
    }
  }
  const std::string_view raw = trimmed(text.substr(eq + 1));
  std::string value(raw);
  if (raw.starts_with('"')) {
    std::optional<std::string> inner = unquoted(raw);
    if (!inner) return "the quote of '" + key + "' is not closed at the end of the line";
    value = std::move(*inner);
  }
  if (value.empty()) return "'" + key + "' needs a value";
  return KeyValueEntry{key, std::move(value), 0};
}

}  // namespace

std::variant<std::vector<KeyValueEntry>, std::string> parse_key_values(
    std::string_view text, const std::vector<KeyRule>& rules) {
  std::vector<KeyValueEntry> entries;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // editors on Windows add it
  int line = 0;
  while (!text.empty()) {
    ++line;
    const std::size_t end = text.find('\n');
    const std::string_view raw = trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (raw.empty() || raw.front() == '#' || raw.front() == ';') continue;
    auto read = read_line(raw, rules, entries);
    if (auto* why = std::get_if<std::string>(&read)) return at_line(line, *why);
    KeyValueEntry& entry = std::get<KeyValueEntry>(read);
    entry.line = line;
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::optional<bool> parse_switch(std::string_view value) {
  std::string lower(value);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const char* yes : {"yes", "true", "on", "1"}) {
    if (lower == yes) return true;
  }
  for (const char* no : {"no", "false", "off", "0"}) {
    if (lower == no) return false;
  }
  return std::nullopt;
}

}  // namespace tarvo
