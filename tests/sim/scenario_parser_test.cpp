#include "scenario_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "scenario_words.h"

namespace tarvo::sim {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr MeterModel kBench = MeterModel::ModelTarvo;
constexpr MeterModel kCompact = MeterModel::ModelNoxel;

ReadingStep reading_of(std::string_view line, MeterModel family = kBench) {
  const Scenario s = parse_scenario(line, family);
  EXPECT_EQ(s.steps.size(), 1U);
  return std::get<ReadingStep>(s.steps.at(0));
}

TEST(ScenarioParser, MainDisplayFields) {
  struct Case {
    const char* line;
    MeterModel family;
    int function, range;
    bool auto_range;
  };
  const Case cases[] = {
      {"DCV AUTO 50.000 V 12.345", kBench, 1, 1, true},
      {"DCV 50.000 V 12.345", kBench, 1, 1, true},
      {"dcv manu 500.00 mV 12.3", kBench, 3, 1, false},
      {"ACV 5.0000 V 0.4254", kBench, 0, 0, true},
      {"DCV+ACV MANUAL 1000.0 V 700", kBench, 2, 3, false},
      {"OHM MANU 5.0000 kohm 1.5", kBench, 8, 1, false},
      {"OHM 50.000 MΩ 1.5", kBench, 8, 5, true},
      {"CAP 5000 µF 1200", kBench, 10, 5, true},
      {"FRE 9.9999 kHz 1.2", kBench, 6, 2, true},
      {"ACA+DCA 10.000 A 1.2", kBench, 19, 1, true},
      {"DCA 5000.0 uA 1.2", kBench, 11, 1, true},
      {"dBm AUTO 99.99 dBm -3.2", kCompact, 1, 0, true},
      {"DCV 5.0000 V 1", kCompact, 2, 0, true},
      {"DUT 99.99 % 50", kCompact, 8, 0, true},
      {"ACA+DCA MANU 5.0000 A 1", kCompact, 21, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ReadingStep step = reading_of(c.line, c.family);
    EXPECT_EQ(step.display.family, c.family);
    EXPECT_EQ(step.display.function, c.function);
    EXPECT_EQ(step.display.range, c.range);
    EXPECT_EQ(step.display.auto_range, c.auto_range);
  }
}

TEST(ScenarioParser, ValuesRampsNoiseAndDuration) {
  const ReadingStep s = reading_of("DCV 5.0000 V 3.29..-3.31 noise 0.0004 for 1.5s");
  EXPECT_DOUBLE_EQ(s.main.from, 3.29);
  EXPECT_DOUBLE_EQ(s.main.to, -3.31);
  EXPECT_DOUBLE_EQ(s.main.noise, 0.0004);
  EXPECT_EQ(s.main.decimals, 4);
  EXPECT_FALSE(s.main.overload);
  EXPECT_EQ(s.duration, milliseconds(1500));
  EXPECT_EQ(s.interval, kDefaultFrameInterval);

  const ReadingStep ol = reading_of("OHM MANU 500.00 Ω -OL");
  EXPECT_TRUE(ol.main.overload);
  EXPECT_TRUE(ol.main.negative_overload);
  EXPECT_EQ(ol.duration, Duration::zero());
}

TEST(ScenarioParser, ModesAndSubDisplay) {
  struct Case {
    const char* line;
    bool hold;
    int stat_mode;
    SubDisplay sub;
    int sub_frequency_range;
    int sub_decimals;
  };
  const Case cases[] = {
      {"DCV 50.000 V 1 HOLD", true, 0, SubDisplay::Off, 0, 0},
      {"DCV 50.000 V 1 REL", false, 0, SubDisplay::Relative, 0, 0},
      {"DCV 50.000 V 1 REL sub 0.5", false, 0, SubDisplay::Relative, 0, 3},
      {"DCV 50.000 V 1 sub 2.5 max hold", true, 1, SubDisplay::Off, 0, 3},
      {"DCV 50.000 V 1 MIN", false, 2, SubDisplay::Off, 0, 0},
      {"DCV 50.000 V 1 MAX-MIN", false, 3, SubDisplay::Off, 0, 0},
      {"DCV 50.000 V 1 AVG sub FRE 99.999 KHz 12.5", false, 4, SubDisplay::Frequency, 3, 3},
      {"ACV 500.00 V 230 sub FRE 99.999 Hz 50", false, 0, SubDisplay::Frequency, 0, 3},
      {"ACV 500.00 V 230 sub dBm 99.99 dBm -3", false, 0, SubDisplay::Dbm, 0, 2},
      {"ACV 500.00 V 230 sub DUT 99.99 % 50 for 1s", false, 0, SubDisplay::DutyCycle, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ReadingStep s = reading_of(c.line);
    EXPECT_EQ(s.display.hold, c.hold);
    EXPECT_EQ(s.display.stat_mode, c.stat_mode);
    EXPECT_EQ(s.display.sub, c.sub);
    EXPECT_EQ(s.display.sub_frequency_range, c.sub_frequency_range);
    EXPECT_EQ(s.sub.decimals, c.sub_decimals);
  }
}

TEST(ScenarioParser, DirectivesAndTheirSteps) {
  const Scenario s = parse_scenario(
      "# comment line\n"
      "\n"
      "every 250ms   # from here on\n"
      "DCV 50.000 V 1 for 1s\n"
      "junk 12\r\n"
      "partial\n"
      "partial 3\n"
      "silence 2s\n"
      "bytes A0 00 3000 ff\n"
      "family compact\n"
      "dBm 99.99 dBm 1\n"
      "partial\n"
      "stop\n"
      "HANGUP\n",
      kBench);
  ASSERT_EQ(s.steps.size(), 10U);
  EXPECT_EQ(std::get<ReadingStep>(s.steps[0]).interval, milliseconds(250));
  EXPECT_EQ(std::get<JunkStep>(s.steps[1]).count, 12);
  EXPECT_EQ(std::get<PartialStep>(s.steps[2]).count, 7);
  EXPECT_EQ(std::get<PartialStep>(s.steps[2]).interval, milliseconds(250));
  EXPECT_EQ(std::get<PartialStep>(s.steps[3]).count, 3);
  EXPECT_EQ(std::get<SilenceStep>(s.steps[4]).duration, seconds(2));
  EXPECT_EQ(std::get<RawStep>(s.steps[5]).bytes,
            (std::vector<std::uint8_t>{0xA0, 0x00, 0x30, 0x00, 0xFF}));
  EXPECT_EQ(std::get<ReadingStep>(s.steps[6]).display.family, kCompact);
  EXPECT_EQ(std::get<PartialStep>(s.steps[7]).count, 4);  // half a compact frame
  EXPECT_TRUE(std::holds_alternative<StopStep>(s.steps[8]));
  EXPECT_TRUE(std::holds_alternative<HangUpStep>(s.steps[9]));
}

TEST(ScenarioParser, MistakesNameTheirLine) {
  struct Case {
    const char* text;
    MeterModel family;
    int line;
    const char* message;  // a part of it
  };
  const Case cases[] = {
      {"", kBench, 0, "sends nothing"},
      {"# only\nevery 1s\n", kBench, 2, "sends nothing"},
      {"DCV 50.000 V 1\nVOLTS 5 V 1", kBench, 2, "unknown step or function \"VOLTS\""},
      {"dBm 99.99 dBm 1", kBench, 1, "for the bench meter"},
      {"DCV 50.00 V 1", kBench, 1, "DCV has no range 50.00 V; it has 5.0000 V, 50.000 V"},
      {"DCV 50.000", kBench, 1, "a unit should follow"},
      {"DCV 50.000 V", kBench, 1, "a value should follow"},
      {"DCV 50.000 V 1,5", kBench, 1, "expected a value"},
      {"DCV 5.0000 V 12", kBench, 1, "does not fit the range 5.0000 V (at most 9.9999)"},
      {"DCV 5.0000 V 9.9 noise 0.2", kBench, 1, "does not fit"},
      {"DCV 50.000 V 1 noise -1", kBench, 1, "noise must be a positive number"},
      {"DCV 50.000 V 1 HOLDD", kBench, 1, "unknown word \"HOLDD\""},
      {"DCV 50.000 V 1 MAX MIN", kBench, 1, "only one of MAX"},
      {"DCV 50.000 V 1 for 1s for 2s", kBench, 1, "only one \"for\""},
      {"DCV 50.000 V 1 for 5", kBench, 1, "expected a duration"},
      {"DCV 50.000 V 1 sub 2", kBench, 1, "\"sub VALUE\" repeats the main function"},
      {"DCV 50.000 V 1 REL sub FRE 99.999 Hz 1", kBench, 1, "cannot show FRE too"},
      {"DCV 50.000 V 1 sub FRE 99.999 Hz 1 sub dBm 99.99 dBm 1", kBench, 1, "only one sub"},
      {"DCV 50.000 V 1 sub OHM 500.00 Ω 1", kBench, 1, "shows FRE, dBm or DUT"},
      {"DCV 50.000 V 1 sub FRE 9.9999 MHz 1", kBench, 1, "FRE has no range 9.9999 MHz"},
      {"DCV 5.0000 V 1 REL", kCompact, 1, "no REL"},
      {"DCV 5.0000 V 1 AVG", kCompact, 1, "no AVG"},
      {"DCV 5.0000 V 1 MAX sub 1", kCompact, 1, "no sub display"},
      {"family meter", kBench, 1, "bench or compact"},
      {"family", kBench, 1, "needs more words"},
      {"every 1s 2s", kBench, 1, "unexpected \"2s\""},
      {"junk 0", kBench, 1, "junk byte count must be a whole number from 1"},
      {"partial", kBench, 1, "there is none"},
      {"DCV 50.000 V 1\npartial 14", kBench, 2, "from 1 to 13"},
      {"bytes A0 0", kBench, 1, "pairs"},
      {"bytes G0", kBench, 1, "not a hex byte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      parse_scenario(c.text, c.family);
      ADD_FAILURE() << "no error";
    } catch (const ScenarioError& e) {
      EXPECT_EQ(e.line(), c.line);
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
      EXPECT_TRUE(std::string(e.what()).starts_with("line " + std::to_string(c.line) + ": "));
    }
  }
}

TEST(ScenarioWords, NumbersAndDurations) {
  EXPECT_EQ(parse_decimal(".25"), 0.25);
  EXPECT_EQ(parse_decimal("+3"), 3.0);
  EXPECT_EQ(parse_decimal("-0.5"), -0.5);
  for (const char* bad : {"", "-", ".", "1.2.3", "1e3", "0x10", " 1", "1-"}) {
    EXPECT_EQ(parse_decimal(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(parse_duration("300ms"), milliseconds(300));
  EXPECT_EQ(parse_duration("2min"), seconds(120));
  EXPECT_EQ(parse_duration("1h"), seconds(3600));
  EXPECT_EQ(parse_duration("0.5s"), milliseconds(500));
  for (const char* bad : {"5", "ms", "-1s", "5d", "1.5", "s5"}) {
    EXPECT_THROW(parse_duration(bad), std::invalid_argument) << bad;
  }
}

}  // namespace
}  // namespace tarvo::sim
