#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "files/text_log.h"
#include "sheet_test_log.h"

namespace tarvo {
namespace {

using namespace std::string_literals;

constexpr char kOhm[] = "\u03A9";

using sheet_test::record;

// A record line as the writer lays it out, without the line break.
std::string line(std::string_view index, std::string_view main_no = "1.2345",
                 std::string_view main_range = "DCV AUTO 5.0000 V") {
  return std::string(index) + "\t09:05:03\t" + std::string(main_no) + "\t" +
         std::string(main_range) + "\t\t\t";
}

const std::string kGood = line("1");
const real_Record kGoodRecord = record(1, "09:05:03", "1.2345", "DCV AUTO 5.0000 V");

struct RefusedCase {
  const char* name;
  std::string bytes;
  std::string separator = ".";
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.name;
}

class TextLogRefuses : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(TextLogRefuses, WholeFile) {
  EXPECT_EQ(ParseTextLog(GetParam().bytes, GetParam().separator), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLogRefuses,
    ::testing::Values(
        RefusedCase{"EmptyFile", ""}, RefusedCase{"OnlyLineBreaks", "\r\n\r\n"},
        RefusedCase{"CountNotANumber", "three\r\n" + kGood + "\r\n"},
        RefusedCase{"CountWithSpace", "1 \r\n" + kGood + "\r\n"},
        RefusedCase{"CountInHex", "0x1\r\n" + kGood + "\r\n"},
        RefusedCase{"CountZero", "0\r\n" + kGood + "\r\n"},
        RefusedCase{"CountNegative", "-1\r\n" + kGood + "\r\n"},
        RefusedCase{"CountPast32Bits", "4294967297\r\n" + kGood + "\r\n"},
        RefusedCase{"CountWithoutRecords", "1\r\n"},
        RefusedCase{"FewerLinesThanCount", "3\r\n" + kGood + "\r\n" + kGood + "\r\n"},
        RefusedCase{"NoTabAfterIndex", "1\r\n1 09:05:03 1.2345 DCV AUTO 5.0000 V\r\n"},
        RefusedCase{"EmptyRecordLine", "1\r\n\r\n"},
        RefusedCase{"IndexPast32Bits", "1\r\n" + line("2147483648") + "\r\n"},
        RefusedCase{"IndexBelow32Bits", "1\r\n" + line("-2147483649") + "\r\n"},
        RefusedCase{"IndexNotANumber", "1\r\n" + line("1a") + "\r\n"},
        RefusedCase{"IndexEmpty", "1\r\n" + line("") + "\r\n"},
        RefusedCase{"IndexSignedTwice", "1\r\n" + line("+-1") + "\r\n"},
        RefusedCase{"MainNumberText", "1\r\n" + line("1", "abc") + "\r\n"},
        RefusedCase{"MainNumberEmpty", "1\r\n" + line("1", "") + "\r\n"},
        RefusedCase{"MainNumberMissing", "1\r\n1\t09:05:03\t1.2345"},
        RefusedCase{"RangeWithoutNumber", "1\r\n" + line("1", "0", "CON MANU  "s + kOhm) + "\r\n"},
        RefusedCase{"RangeNotANumber", "1\r\n" + line("1", "1", "DCV AUTO x.0000 V") + "\r\n"},
        RefusedCase{"OverloadWithoutRange", "1\r\n" + line("1", "OL", "DCV AUTO  V") + "\r\n"},
        // A large main number does not excuse a range that the chart could not scale by.
        RefusedCase{"LargeNumberWithoutRange",
                    "1\r\n" + line("1", "500000", "DCV AUTO  V") + "\r\n"},
        RefusedCase{"CommaFileUnderPoint",
                    "1\r\n" + line("1", "1,2345", "DCV AUTO 5,0000 V") + "\r\n"},
        RefusedCase{"PointFileUnderComma", "1\r\n" + kGood + "\r\n", ","},
        RefusedCase{"LaterRecordBad", "2\r\n" + kGood + "\r\n" + line("2", "?") + "\r\n"},
        RefusedCase{"RecordsAfterNul", "1\r\n\0"s + kGood + "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct AcceptedCase {
  const char* name;
  std::string bytes;
  std::vector<real_Record> expected;
  std::string separator = ".";
};

void PrintTo(const AcceptedCase& c, std::ostream* os) {
  *os << c.name;
}

class TextLogAccepts : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(TextLogAccepts, Records) {
  const auto records = ParseTextLog(GetParam().bytes, GetParam().separator);
  ASSERT_TRUE(records.has_value());
  EXPECT_EQ(*records, GetParam().expected);
}

const std::string kFullWidth = std::string(15, 'T') + "\t1234567890\tDCV AUTO 5.0000 V" +
                               std::string(18, 'x') + "\t" + std::string(10, 's') + "\t" +
                               std::string(35, 'r') + "\t";
const std::string kSixtyOhms = [] {
  std::string s;
  for (int i = 0; i < 60; ++i) s += kOhm;
  return s;
}();

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLogAccepts,
    ::testing::Values(
        AcceptedCase{"OneRecord", "1\r\n" + kGood + "\r\n\r\n\r\n", {kGoodRecord}},
        AcceptedCase{"NoFinalBreak", "1\r\n" + kGood, {kGoodRecord}},
        AcceptedCase{"ExtraLinesIgnored", "1\r\n" + kGood + "\r\ngarbage\r\n\r\n", {kGoodRecord}},
        AcceptedCase{"LoneBreaks",
                     "2\n" + kGood + "\r" + line("2"),
                     {kGoodRecord, record(2, "09:05:03", "1.2345", "DCV AUTO 5.0000 V")}},
        AcceptedCase{"CountWithPlus", "+1\r\n" + kGood, {kGoodRecord}},
        AcceptedCase{"NegativeIndex",
                     "1\r\n" + line("-2147483648"),
                     {record(-2147483648LL, "09:05:03", "1.2345", "DCV AUTO 5.0000 V")}},
        AcceptedCase{"LastFieldWithoutTab",
                     "1\r\n1\t09:05:03\t1.5\tDCV AUTO 5.0000 V\t2\tFRE 9.9999 KHz\r\n",
                     {record(1, "09:05:03", "1.5", "DCV AUTO 5.0000 V", "2", "")}},
        AcceptedCase{"FieldsTrimmed",
                     "1\r\n1\t 09:05:03 \t\x01 1.5\x1F\t DCV AUTO 5.0000 V  \t \t  \t",
                     {record(1, "09:05:03", "1.5", "DCV AUTO 5.0000 V")}},
        AcceptedCase{"LongMainNumberCut",
                     "1\r\n" + line("1", "123456789012"),
                     {record(1, "09:05:03", "1234567890", "DCV AUTO 5.0000 V")}},
        // 111 characters after the index: the cut at 100 drops the last TAB.
        AcceptedCase{
            "PastHundredCharactersIgnored",
            "1\r\n7\t" + kFullWidth,
            {record(7, std::string(15, 'T'), "1234567890",
                    "DCV AUTO 5.0000 V" + std::string(18, 'x'), std::string(10, 's'), "")}},
        // The cut counts characters: 60 ohm signs are 120 bytes but fit.
        AcceptedCase{"HundredCountsCharacters",
                     "1\r\n1\t09:05:03\t1\tDCV AUTO 5.0000 V\t\t" + kSixtyOhms + "\t",
                     {record(1, "09:05:03", "1", "DCV AUTO 5.0000 V", "", kSixtyOhms)}},
        AcceptedCase{"Overload",
                     "2\r\n" + line("1", "OL", "DCV AUTO 50.000 V") + "\r\n" +
                         line("2", "-OL", "DCV AUTO 50.000 V"),
                     {record(1, "09:05:03", "OL", "DCV AUTO 50.000 V"),
                      record(2, "09:05:03", "-OL", "DCV AUTO 50.000 V")}},
        AcceptedCase{"CommaFileUnderComma",
                     "1\r\n" + line("1", "1,2345", "DCV AUTO 5,0000 V"),
                     {record(1, "09:05:03", "1,2345", "DCV AUTO 5,0000 V")},
                     ","},
        AcceptedCase{"WholeNumbersUnderEitherSeparator",
                     "1\r\n" + line("1", "12", "DCV AUTO 50 V"),
                     {record(1, "09:05:03", "12", "DCV AUTO 50 V")},
                     ","},
        AcceptedCase{"NulEndsText", "1\r\n" + kGood + "\r\n\0garbage"s, {kGoodRecord}},
        AcceptedCase{"Utf8Mark",
                     "\xEF\xBB\xBF"
                     "1\r\n" +
                         kGood,
                     {kGoodRecord}},
        AcceptedCase{"Utf8OhmSign",
                     "1\r\n" + line("1", "0.1234", "OHM AUTO 5.0000 M"s + kOhm),
                     {record(1, "09:05:03", "0.1234", "OHM AUTO 5.0000 M"s + kOhm)}},
        AcceptedCase{"Gb18030OhmSign",
                     "1\r\n" + line("1", "0.1234", "OHM AUTO 5.0000 M\xA6\xB8"),
                     {record(1, "09:05:03", "0.1234", "OHM AUTO 5.0000 M"s + kOhm)}}),
    [](const auto& info) { return std::string(info.param.name); });

// The same one-record file with the ohm sign, as UTF-16 with either byte order.
std::string utf16(std::string_view ascii_with_ohm_at_end, bool big_endian) {
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  auto unit = [&](char16_t u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += big_endian ? hi : lo;
    out += big_endian ? lo : hi;
  };
  for (const char c : ascii_with_ohm_at_end) unit(static_cast<char16_t>(c));
  unit(u'\u03A9');
  unit(u'\t');
  return out;
}

TEST(TextLogAcceptsUtf16, EitherByteOrder) {
  const std::string text = "1\r\n1\t09:05:03\t0.1234\tOHM AUTO 5.0000 M";
  const real_Record expected = record(1, "09:05:03", "0.1234", "OHM AUTO 5.0000 M"s + kOhm);
  for (const bool big_endian : {false, true}) {
    const auto records = ParseTextLog(utf16(text, big_endian), ".");
    ASSERT_TRUE(records.has_value()) << big_endian;
    EXPECT_EQ(*records, std::vector<real_Record>{expected}) << big_endian;
  }
}

}  // namespace
}  // namespace tarvo
