#include "files/user_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

SettingsValues with_format(SettingsValues values) {
  values.emplace("format", "1");
  return values;
}

TEST(UserSettings, FullSettingsComeBackAsTheyWereWritten) {
  UserSettings s;
  s.language = 4;
  s.interval = 120;
  s.limits = Limits{{"DCV", "V"}, 0.42525, -1.5e-7};
  s.alarm = {0.0005, 2.5, 30};
  s.actions = {false, false, "notify-send 'High limit' \"$x\""};
  s.muted = true;
  s.main_window = WindowPlace{-20, 30, 1100, 700};
  s.tool(ToolWindow::Overview) = {true, WindowPlace{1200, 40, 600, 400}};
  s.tool(ToolWindow::Debug) = {false, WindowPlace{0, 0, 300, 200}};
  s.open_file = "/home/ann/logs/run 1.txt";
  s.save_file = "/tmp/b.xlsx";

  const SettingsRead read = read_user_settings(settings_values(s));
  EXPECT_EQ(read.ignored, "");
  EXPECT_EQ(read.settings.language, 4);
  EXPECT_EQ(read.settings.interval, 120);
  ASSERT_TRUE(read.settings.limits);
  EXPECT_EQ(read.settings.limits->key, (RunKey{"DCV", "V"}));
  EXPECT_EQ(read.settings.limits->high, 0.42525);  // exact: the shortest text that reads back
  EXPECT_EQ(read.settings.limits->low, -1.5e-7);
  EXPECT_EQ(read.settings.alarm, s.alarm);
  EXPECT_EQ(read.settings.actions, s.actions);
  EXPECT_TRUE(read.settings.muted);
  EXPECT_EQ(read.settings.main_window, s.main_window);
  EXPECT_EQ(read.settings.tools, s.tools);
  EXPECT_EQ(read.settings.open_file, s.open_file);
  EXPECT_EQ(read.settings.save_file, s.save_file);
}

TEST(UserSettings, PublishingComesBackWithoutAnySecret) {
  UserSettings s;
  s.publishing = {"broker.lab:8883",         true, "ann", "lab/bench 1", true,
                  "https://influx.lab:8086", "",   "lab", "bench"};
  const SettingsValues values = settings_values(s);
  EXPECT_EQ(read_user_settings(values).settings.publishing, s.publishing);
  EXPECT_EQ(values, (SettingsValues{{"format", "1"},
                                    {"publish/broker", "broker.lab:8883"},
                                    {"publish/tls", "true"},
                                    {"publish/user", "ann"},
                                    {"publish/prefix", "lab/bench 1"},
                                    {"publish/discovery", "true"},
                                    {"influx/url", "https://influx.lab:8086"},
                                    {"influx/org", "lab"},
                                    {"influx/bucket", "bench"}}));
}

TEST(UserSettings, PublishingValueThatIsNoSettingIsDroppedAlone) {
  const std::pair<const char*, std::string> bad[] = {
      {"publish/broker", "host\nx"}, {"publish/user", std::string(1025, 'a')},
      {"publish/prefix", "a\tb"},    {"publish/tls", "yes"},
      {"publish/discovery", "1"},    {"influx/url", "http://x\x7f"},
  };
  for (const auto& [key, value] : bad) {
    SCOPED_TRACE(key);
    SettingsValues values = with_format({{"publish/broker", "b"},
                                         {"publish/tls", "true"},
                                         {"publish/user", "u"},
                                         {"publish/prefix", "p"},
                                         {"publish/discovery", "true"},
                                         {"influx/url", "http://i"}});
    values[key] = value;
    const PublishSettings p = read_user_settings(values).settings.publishing;
    const std::string k = key;
    EXPECT_EQ(p.broker, k == "publish/broker" ? "" : "b");
    EXPECT_EQ(p.tls, k != "publish/tls");
    EXPECT_EQ(p.user, k == "publish/user" ? "" : "u");
    EXPECT_EQ(p.prefix, k == "publish/prefix" ? "" : "p");
    EXPECT_EQ(p.discovery, k != "publish/discovery");
    EXPECT_EQ(p.influx, k == "influx/url" ? "" : "http://i");
  }
}

TEST(UserSettings, FirstStartWritesOnlyTheFormat) {
  EXPECT_EQ(settings_values(UserSettings{}), (SettingsValues{{"format", "1"}}));
  const SettingsRead read = read_user_settings({});
  EXPECT_EQ(read.ignored, "");
  EXPECT_FALSE(read.settings.language || read.settings.interval || read.settings.limits);
  // Until the user says otherwise, an alarm is a notice and goes to the broker.
  EXPECT_EQ(read.settings.actions, (AlarmActions{true, true, ""}));
}

TEST(UserSettings, FileWithoutAUsableFormatIsIgnoredWhole) {
  struct Case {
    SettingsValues values;
    std::string why;
    bool newer;
  };
  const Case cases[] = {
      {{{"language", "1"}}, "no format version in it", false},
      {{{"format", "one"}, {"language", "1"}}, "no format version in it", false},
      {{{"format", "0"}, {"language", "1"}}, "no format version in it", false},
      {{{"\x01\xff junk", "\x7f"}}, "no format version in it", false},
      {{{"format", "2"}, {"language", "1"}}, "written by a later version (format 2)", true},
  };
  for (const Case& c : cases) {
    const SettingsRead read = read_user_settings(c.values);
    EXPECT_EQ(read.ignored, c.why);
    EXPECT_EQ(read.newer, c.newer);
    EXPECT_FALSE(read.settings.language);
  }
}

// One value out of range goes alone: the others are kept.
TEST(UserSettings, ValueOutOfRangeIsDroppedAlone) {
  struct Case {
    const char* key;
    const char* value;
  };
  const Case bad[] = {
      {"language", "0"},
      {"language", "6"},
      {"language", "2x"},
      {"language", ""},
      {"interval", "0"},
      {"interval", "121"},
      {"interval", "-5"},
      {"interval", "1.5"},
      {"windows/main", "1 2 3"},
      {"windows/main", "0 0 10 400"},
      {"windows/main", "0 0 400 400 9"},
      {"windows/main", "999999 0 400 400"},
      {"windows/main", "a b c d"},
  };
  for (const Case& c : bad) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.value);
    SettingsValues values =
        with_format({{"language", "3"}, {"interval", "7"}, {"windows/main", "10 20 1100 700"}});
    values[c.key] = c.value;
    const SettingsRead read = read_user_settings(values);
    EXPECT_EQ(read.ignored, "");
    const bool language = std::string(c.key) == "language";
    const bool interval = std::string(c.key) == "interval";
    EXPECT_EQ(read.settings.language, language ? std::nullopt : std::optional<int>(3));
    EXPECT_EQ(read.settings.interval, interval ? std::nullopt : std::optional<std::int64_t>(7));
    EXPECT_EQ(read.settings.main_window.has_value(), language || interval);
  }
}

TEST(UserSettings, LimitsNeedAKeyAndAnOrderedPairOfNumbers) {
  struct Case {
    SettingsValues values;
    bool kept;
  };
  const Case cases[] = {
      {{{"limits/function", "DCV"}, {"limits/unit", "V"}, {"limits/high", "1"}}, true},
      {{{"limits/function", "DCV"}, {"limits/unit", "V"}, {"limits/low", "-1"}}, true},
      {{{"limits/function", "DCV"}, {"limits/unit", "V"}}, false},
      {{{"limits/unit", "V"}, {"limits/high", "1"}}, false},
      {{{"limits/function", "DCV"}, {"limits/unit", "V"}, {"limits/high", "nan"}}, false},
      {{{"limits/function", "DCV"}, {"limits/unit", "V"}, {"limits/high", "inf"}}, false},
      {{{"limits/function", "DC\nV"}, {"limits/unit", "V"}, {"limits/high", "1"}}, false},
      {{{"limits/function", "DCV"},
        {"limits/unit", "V"},
        {"limits/high", "1"},
        {"limits/low", "2"}},
       false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(read_user_settings(with_format(c.values)).settings.limits.has_value(), c.kept);
  }
}

// A hysteresis, a minimum duration or a stale time that is no number, is
// negative or endless is 0 (none); each is read alone, and the stale time
// stands without limits.
TEST(UserSettings, AlarmTimingsThatAreNoSettingAreNone) {
  struct Case {
    const char* text;
    double read;
  };
  const Case cases[] = {{"0.25", 0.25}, {"0", 0},   {"-1", 0}, {"nan", 0},
                        {"inf", 0},     {"1,5", 0}, {"", 0},   {"3e2", 300}};
  for (const Case& c : cases) {
    for (const char* key : {"limits/hysteresis", "limits/min_duration", "limits/stale"}) {
      const AlarmTimings read = read_user_settings(with_format({{key, c.text}})).settings.alarm;
      const double got = std::string(key) == "limits/hysteresis"     ? read.hysteresis
                         : std::string(key) == "limits/min_duration" ? read.min_duration
                                                                     : read.stale;
      EXPECT_EQ(got, c.read) << key << "=" << c.text;
      EXPECT_EQ(read.hysteresis + read.min_duration + read.stale, c.read) << key;
    }
  }
  UserSettings none;
  EXPECT_EQ(settings_values(none).count("limits/stale"), 0u);
}

TEST(UserSettings, ToolWindowIsOpenOnlyWithAPlace) {
  const SettingsRead read = read_user_settings(with_format({{"windows/statistics_open", "true"},
                                                            {"windows/overview_open", "yes"},
                                                            {"windows/overview", "5 5 300 300"}}));
  EXPECT_FALSE(read.settings.tool(ToolWindow::Statistics).open);
  EXPECT_FALSE(read.settings.tool(ToolWindow::Overview).open);
  EXPECT_TRUE(read.settings.tool(ToolWindow::Overview).place);
}

}  // namespace
}  // namespace tarvo
