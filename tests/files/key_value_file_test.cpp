#include "files/key_value_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

const std::vector<KeyRule> kRules = {{"port", true}, {"interval"}, {"prefix"}, {"broker"}};

using Entries = std::vector<KeyValueEntry>;

struct GoodCase {
  const char* name;
  std::string text;
  Entries expected;
};

TEST(KeyValueFile, ReadsWhatAPersonWrites) {
  const std::vector<GoodCase> cases = {
      {"empty file", "", {}},
      {"comments and blanks", "# a\n\n  ; b\n\t\r\n", {}},
      {"blanks around key and value", "  interval\t=  10  \n", {{"interval", "10", 1}}},
      {"line numbers count skipped lines", "#\n\ninterval=5", {{"interval", "5", 3}}},
      {"windows line ends",
       "interval = 5\r\nprefix = lab\r\n",
       {{"interval", "5", 1}, {"prefix", "lab", 2}}},
      {"byte order mark", "\xEF\xBB\xBFinterval = 5\n", {{"interval", "5", 1}}},
      {"a value may hold # and =", "broker = mqtt://h/a#b=c\n", {{"broker", "mqtt://h/a#b=c", 1}}},
      {"quotes keep blanks", "prefix = \" lab 1 \"\n", {{"prefix", " lab 1 ", 1}}},
      {"escapes inside quotes", R"(prefix = "a\"b\\c")", {{"prefix", R"(a"b\c)", 1}}},
      {"a backslash alone stays", R"(prefix = "a\b")", {{"prefix", R"(a\b)", 1}}},
      {"quotes inside an unquoted value stay", "prefix = a\"b\"\n", {{"prefix", "a\"b\"", 1}}},
      {"repeatable key, in order",
       "port = /dev/a\nport = /dev/b\n",
       {{"port", "/dev/a", 1}, {"port", "/dev/b", 2}}},
  };
  for (const GoodCase& c : cases) {
    const auto got = parse_key_values(c.text, kRules);
    ASSERT_TRUE(std::holds_alternative<Entries>(got)) << c.name << ": " << std::get<1>(got);
    EXPECT_EQ(std::get<Entries>(got), c.expected) << c.name;
  }
}

struct BadCase {
  std::string text;
  std::string error;
};

TEST(KeyValueFile, RefusesWithTheLineNumber) {
  const std::vector<BadCase> cases = {
      {"# c\ncolour = red\n", "line 2: unknown key 'colour'"},
      {"Interval = 5\n", "line 1: unknown key 'Interval'"},
      {"interval = 5\n\ninterval = 6\n", "line 3: 'interval' is already given on line 1"},
      {"interval 5\n", "line 1: expected \"key = value\""},
      {" = 5\n", "line 1: a key is missing before \"=\""},
      {"interval =\n", "line 1: 'interval' needs a value"},
      {"prefix = \"\"\n", "line 1: 'prefix' needs a value"},
      {"prefix = \"lab\n", "line 1: the quote of 'prefix' is not closed at the end of the line"},
      {"prefix = \"lab\" # x\n",
       "line 1: the quote of 'prefix' is not closed at the end of the line"},
      {"prefix = \"lab\\\"\n",
       "line 1: the quote of 'prefix' is not closed at the end of the line"},
      {"interval = 1\nport=/dev/a\nbad\n", "line 3: expected \"key = value\""},
  };
  for (const BadCase& c : cases) {
    const auto got = parse_key_values(c.text, kRules);
    ASSERT_TRUE(std::holds_alternative<std::string>(got)) << c.text;
    EXPECT_EQ(std::get<std::string>(got), c.error) << c.text;
  }
}

TEST(KeyValueFile, Switches) {
  const std::vector<std::pair<std::string, std::optional<bool>>> cases = {
      {"yes", true},      {"TRUE", true},      {"On", true},        {"1", true},
      {"no", false},      {"False", false},    {"off", false},      {"0", false},
      {"", std::nullopt}, {"2", std::nullopt}, {"y", std::nullopt}, {"yes please", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(parse_switch(text), expected) << text;
}

}  // namespace
}  // namespace tarvo
