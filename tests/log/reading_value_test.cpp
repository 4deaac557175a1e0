#include "log/reading_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "decode/meter_family.h"
#include "decode_test_support.h"
#include "log/reading_log.h"
#include "log/typed_reading.h"

namespace tarvo {
namespace {

// A record as the log makes it from a reading, its value read at the commit.
real_Record committed(const std::string& main_no, const std::string& main_range,
                      const std::string& sub_no = "", const std::string& sub_range = "") {
  ReadingLog log;
  CurrentReading reading;
  reading.Main_No = main_no;
  reading.Main_Range = main_range;
  reading.Sub_No = sub_no;
  reading.Sub_range = sub_range;
  log.append_reading(reading, LocalTime{});
  return log[1];
}

struct ValueCase {
  const char* name;
  std::string main_no;
  std::string main_range;
  std::string separator;
  std::optional<double> value;          // in the unit shown
  std::optional<std::int64_t> plotted;  // times 10000
  std::int8_t overload;
  std::string base_text;  // in the base unit; empty when none
};

void PrintTo(const ValueCase& c, std::ostream* os) {
  *os << c.name;
}

const std::vector<ValueCase> kValues{
    {"point", "0.4254", "DCV AUTO 5.0000 V", ".", 0.4254, 4254, 0, "0.4254"},
    {"comma", "0,4254", "DCV AUTO 5,0000 V", ",", 0.4254, 4254, 0, "0.4254"},
    {"negative", "-12.345", "DCV AUTO 50.000 mV", ".", -12.345, -123450, 0, "-0.012345"},
    {"integer", "5000", "DCV MANU 5000 V", ".", 5000.0, 50000000, 0, "5000"},
    {"zero", "0.000", "DCV AUTO 50.000 V", ".", 0.0, 0, 0, "0"},
    {"negative zero", "-0.000", "DCV AUTO 50.000 V", ".", -0.0, 0, 0, "0"},
    {"kilo-ohms", "12.500", "OHM AUTO 50.000 K\u03A9", ".", 12.5, 125000, 0, "12500"},
    {"mega-ohms", "4,9999", "OHM AUTO 5,0000 M\u03A9", ",", 4.9999, 49999, 0, "4999900"},
    {"nano-farads", "4.700", "CAP AUTO 50.000 nF", ".", 4.7, 47000, 0, "0.0000000047"},
    {"micro-amps", "-499.99", "DCA AUTO 500.00 uA", ".", -499.99, -4999900, 0, "-0.00049999"},
    {"kilohertz", "9.9999", "FRE AUTO 9.9999 KHz", ".", 9.9999, 99999, 0, "9999.9"},
    {"half away from zero", "-1.00005", "DCV AUTO 5.0000 V", ".", -1.00005, -10001, 0, "-1.00005"},
    {"fifth decimal rounds alone", "1.000049", "DCV AUTO 5.0000 V", ".", 1.000049, 10000, 0,
     "1.000049"},
    {"overload", "OL", "OHM AUTO 500.00 M\u03A9", ".", std::nullopt, 5000000, 1, ""},
    {"negative overload", "-OL", "DCV MANU 5,0000 V", ",", std::nullopt, -50000, -1, ""},
    {"overload without a range", "OL", "DCV", ".", std::nullopt, std::nullopt, 1, ""},
    {"blank", "", "DCV AUTO 5.0000 V", ".", std::nullopt, std::nullopt, 0, ""},
    // A point reads as a number where the separator is a comma, but neither
    // the chart nor the exports take it.
    {"point under comma", "1.5", "DCV AUTO 5,0000 V", ",", 1.5, std::nullopt, 0, ""},
    {"comma under point", "1,5", "DCV AUTO 5.0000 V", ".", std::nullopt, std::nullopt, 0, ""},
    {"number without its range", "1.5", "DCV AUTO", ".", 1.5, std::nullopt, 0, ""},
};

class ReadingValueOf : public testing::TestWithParam<ValueCase> {};

TEST_P(ReadingValueOf, AnswersWhatTheTextShows) {
  const ValueCase& c = GetParam();
  const real_Record r = committed(c.main_no, c.main_range);
  const std::optional<double> value = main_value(r, c.separator);
  ASSERT_EQ(value.has_value(), c.value.has_value());
  if (value) {
    EXPECT_EQ(*value, *c.value);
    EXPECT_EQ(std::signbit(*value), std::signbit(*c.value));
  }
  EXPECT_EQ(plotted_value(r, c.separator), c.plotted);
  EXPECT_EQ(overload_sign(r), c.overload);
  EXPECT_EQ(typed_reading(r, c.separator).main.base_text, c.base_text);
}

INSTANTIATE_TEST_SUITE_P(Texts, ReadingValueOf, testing::ValuesIn(kValues), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name) {
    if (ch == ' ' || ch == '-') ch = '_';
  }
  return name;
});

// What the record answers from its stored value must be what the text gives,
// whatever the text and the separator.
void expect_same_as_text(const real_Record& r, const std::string& separator) {
  SCOPED_TRACE("\"" + r.Main_No.str() + "\" in \"" + r.Main_Range.str() + "\" with \"" + separator +
               "\"");
  const std::string main_no = r.Main_No.str();
  const std::optional<double> stored = main_value(r, separator);
  const std::optional<double> text = main_value(main_no, separator);
  ASSERT_EQ(stored.has_value(), text.has_value());
  if (stored) {
    EXPECT_EQ(*stored, *text);
    EXPECT_EQ(std::signbit(*stored), std::signbit(*text));
  }
  const std::string range = r.Main_Range.str();
  const bool range_converts = range_full_scale(r, separator).has_value();
  EXPECT_EQ(plotted_value(r, separator),
            range_converts ? scaled_main_value(main_no, range, separator) : std::nullopt);
  EXPECT_EQ(overload_sign(r), overload_sign(main_no));
  EXPECT_EQ(is_overload(r), is_overload(main_no));
  const TypedReading a = typed_reading(r, separator);
  const TypedReading b =
      typed_reading(main_no, range, r.Sub_No.view(), r.Sub_range.view(), separator);
  EXPECT_EQ(a.main.value, b.main.value);
  EXPECT_EQ(a.main.base_text, b.main.base_text);
  EXPECT_EQ(a.main.base_value, b.main.base_value);
  EXPECT_EQ(a.main.overload, b.main.overload);
  EXPECT_EQ(a.main.function, b.main.function);
}

TEST(ReadingValue, OddTextsAnswerAsTheirTextWithEverySeparator) {
  const std::vector<std::string> texts{"",
                                       " ",
                                       "-",
                                       ".",
                                       "-.",
                                       ".5",
                                       "5.",
                                       "-.5",
                                       "+5",
                                       "+-5",
                                       "--5",
                                       " 5",
                                       "5 ",
                                       "1.2.3",
                                       "1,2.3",
                                       "1.5",
                                       "1,5",
                                       "1\u066B5",
                                       "00012.50",
                                       "-0",
                                       "-0,000",
                                       "OL",
                                       "-OL",
                                       " OL ",
                                       "O.L",
                                       "1OL",
                                       "OL-",
                                       "12e3",
                                       "inf",
                                       "nan",
                                       "0x10",
                                       "123456789012345678",
                                       "1234567890123456789",
                                       "-99999999999999.9999",
                                       "9007199254740993",
                                       "0.000000000000000001",
                                       "12345678901234567.5",
                                       "1.23456789012345678901"};
  for (const std::string& separator : test::separators()) {
    for (const std::string& text : texts) {
      expect_same_as_text(committed(text, test::localised("DCV AUTO 50.000 mV", separator)),
                          separator);
    }
  }
}

// Every text the two decoders write: each function code at each range code,
// with digits that show leading zeros, all nines and a plain number.
TEST(ReadingValue, DecodedTextsAnswerAsTheirText) {
  const std::vector<std::vector<std::uint8_t>> digit_sets{
      {1, 2, 3, 4, 5}, {0, 0, 0, 4, 2}, {0, 0, 0, 0, 0}, {9, 9, 9, 9, 9}};
  int decoded = 0;
  for (const MeterModel family : {MeterModel::ModelTarvo, MeterModel::ModelNoxel}) {
    for (const std::string& separator : test::separators()) {
      for (int function = 0; function < 16; ++function) {
        for (int range = 0; range < 8; ++range) {
          for (const auto& digits : digit_sets) {
            std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(0xA0 + range),
                                            static_cast<std::uint8_t>(function), 0x10};
            if (family == MeterModel::ModelTarvo) bytes.push_back(0x00);
            bytes.insert(bytes.end(), digits.begin(), digits.end());
            if (family == MeterModel::ModelTarvo) bytes.insert(bytes.end(), 5, 0);
            RxBuffer rx = test::buffer_with(bytes);
            CurrentReading reading;
            if (!family_of(family)->decode(rx, reading, test::with_separator(separator))) {
              continue;
            }
            ++decoded;
            expect_same_as_text(
                committed(reading.Main_No, reading.Main_Range, reading.Sub_No, reading.Sub_range),
                separator);
          }
        }
      }
    }
  }
  EXPECT_GT(decoded, 200);
}

TEST(ReadingValue, RunIsFunctionAndUnitWhateverTheRange) {
  EXPECT_EQ(run_fields("DCV AUTO 5.0000 V"), run_fields("DCV MANU 500.00 V"));
  EXPECT_EQ(run_fields("DCV AUTO 5.0000 V").function, "DCV");
  EXPECT_EQ(run_fields("DCV AUTO 5.0000 V").unit, "V");
  EXPECT_NE(run_fields("DCV AUTO 50.000 mV"), run_fields("DCV AUTO 5.0000 V"));
  EXPECT_NE(run_fields("ACV AUTO 5.0000 V"), run_fields("DCV AUTO 5.0000 V"));
  EXPECT_EQ(run_fields("OHM AUTO 500.00 M\u03A9").unit, "M\u03A9");
}

}  // namespace
}  // namespace tarvo
