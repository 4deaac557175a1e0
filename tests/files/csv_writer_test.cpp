#include "files/csv_writer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "sheet_test_log.h"

namespace tarvo {
namespace {

using namespace sheet_test;

struct FieldCase {
  const char* name;
  std::string text;
  std::string field;
};

void PrintTo(const FieldCase& c, std::ostream* os) {
  *os << c.name;
}

class CsvField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvField, IsQuotedOnlyWhenItMustBe) {
  std::string line = "a,";
  append_csv_field(line, GetParam().text);
  EXPECT_EQ(line, "a," + GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvField,
    ::testing::Values(
        FieldCase{"Plain", "DCV AUTO 5.0000 V", "DCV AUTO 5.0000 V"}, FieldCase{"Empty", "", ""},
        FieldCase{"Spaces", " 1.5 ", " 1.5 "}, FieldCase{"Comma", "1,5", "\"1,5\""},
        FieldCase{"Quote", "say \"hi\"", "\"say \"\"hi\"\"\""},
        FieldCase{"OnlyQuote", "\"", "\"\"\"\""}, FieldCase{"LineFeed", "a\nb", "\"a\nb\""},
        FieldCase{"CarriageReturn", "a\rb", "\"a\rb\""},
        FieldCase{"Ohm", "50.000 K\u03A9", "50.000 K\u03A9"},
        FieldCase{"NotUtf8", "\xB5V", "\uFFFDV"}, FieldCase{"Semicolon", "a;b", "a;b"}),
    [](const ::testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.name); });

TEST(CsvWriter, WritesBomTitlesAndOneCrLfLinePerRecord) {
  const ReadingLog log = log_of({
      record(1, "09:05:03", "-12.345", "OHM AUTO 50.000 K\u03A9", "60.00", "FRE 99.99 Hz"),
      record(2, "09:05:04", "1,5", "say \"hi\"", "", "two\r\nlines"),
      record(-3, "", "", "", "", ""),
  });
  std::ostringstream out;
  std::string error;
  ASSERT_TRUE(write_csv(log, out, {}, error)) << error;
  EXPECT_EQ(out.str(),
            "\xEF\xBB\xBF"
            "Index,Time,Main,Main_Range,Sub,Sub_Range,DateTime,Value,Unit,Overload,Sub Value,"
            "Sub Unit,Frames,Frame Min,Frame Max,Frame Mean,Event\r\n"
            "1,09:05:03,-12.345,OHM AUTO 50.000 K\u03A9,60.00,FRE 99.99 "
            "Hz,,-12345,\u03A9,0,60,Hz,,,,,\r\n"
            "2,09:05:04,\"1,5\",\"say \"\"hi\"\"\",,\"two\r\nlines\",,,,0,,,,,,,\r\n"
            "-3,,,,,,,,,0,,,,,,,\r\n");
}

// The added columns hold numbers with "." whatever separator the log uses, and
// the last one what sets a record apart: the first after a gap, a test frame.
TEST(CsvWriter, AddsTheDateTimeAndTheNumbersInBaseUnits) {
  real_Record dated =
      record(1, "14:03:27", "-0,4254", "DCV AUTO 5,0000 mV", "0,0060", "FRE 9,9999 KHz");
  dated.DateTime = {2026, 12, 9, 14, 3, 27, 0, 60};
  dated.Dated = true;
  dated.Frames = {12, 12, -0.4301, -0.4199, -0.42541666666666667};
  dated.AfterGap = true;
  real_Record overload = record(2, "14:03:28", "-OL", "OHM MANU 500,00 \u03A9");
  overload.TestFrame = true;
  overload.Frames = {3, 0, 0, 0, 0};  // counted, but no frame had a number
  const ReadingLog log = log_of({dated, overload});
  std::ostringstream out;
  std::string error;
  ASSERT_TRUE(write_csv(log, out, {}, error, ",")) << error;
  const std::string text = out.str();
  EXPECT_EQ(text.substr(text.find("\r\n") + 2),
            "1,14:03:27,\"-0,4254\",\"DCV AUTO 5,0000 mV\",\"0,0060\",\"FRE 9,9999 KHz\","
            "2026-12-09T14:03:27,-0.0004254,V,0,6,Hz,12,-0.0004301,-0.0004199,"
            "-0.0004254166667,gap\r\n"
            "2,14:03:28,-OL,\"OHM MANU 500,00 \u03A9\",,,,,\u03A9,1,,,3,,,,test frame\r\n");
}

TEST(CsvWriter, EmptyLogIsTheTitleLine) {
  std::ostringstream out;
  std::string error;
  ASSERT_TRUE(write_csv(ReadingLog{}, out, {}, error));
  EXPECT_EQ(out.str(),
            "\xEF\xBB\xBFIndex,Time,Main,Main_Range,Sub,Sub_Range,DateTime,Value,Unit,Overload,"
            "Sub Value,Sub Unit,Frames,Frame Min,Frame Max,Frame Mean,Event\r\n");
}

TEST(CsvWriter, ReportsAFailingStream) {
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  std::string error;
  EXPECT_FALSE(write_csv(numbered_log(3), out, {}, error));
  EXPECT_FALSE(error.empty());
}

// The Note column: each reading's notes joined in the order they were made,
// quoted as any field; a note before the first reading on row 1, one past the
// last on the last row; the title as the caller gives it.
TEST(CsvWriter, ALogWithNotesEndsEachLineWithItsNoteCell) {
  const ReadingLog log = log_of({record(1, "09:05:03", "1.5", "DCV AUTO 5.0000 V"),
                                 record(2, "09:05:04", "1.6", "DCV AUTO 5.0000 V"),
                                 record(3, "09:05:05", "1.7", "DCV AUTO 5.0000 V")});
  const NoteColumn notes(
      "Notiz",
      {{3, "probe on C12"}, {0, "before, \"warm\""}, {3, "back"}, {1, "start"}, {9, "late"}},
      log.count());
  std::ostringstream out;
  std::string error;
  ASSERT_TRUE(write_csv(log, out, {}, error, ".", notes)) << error;
  EXPECT_EQ(out.str(),
            "\xEF\xBB\xBF"
            "Index,Time,Main,Main_Range,Sub,Sub_Range,DateTime,Value,Unit,Overload,Sub Value,"
            "Sub Unit,Frames,Frame Min,Frame Max,Frame Mean,Event,Notiz\r\n"
            "1,09:05:03,1.5,DCV AUTO 5.0000 V,,,,1.5,V,0,,,,,,,,\"before, \"\"warm\"\"; start\"\r\n"
            "2,09:05:04,1.6,DCV AUTO 5.0000 V,,,,1.6,V,0,,,,,,,,\r\n"
            "3,09:05:05,1.7,DCV AUTO 5.0000 V,,,,1.7,V,0,,,,,,,,probe on C12; back; late\r\n");
}

// Without notes there is no column: the file is the one written before notes
// existed, byte for byte.
TEST(CsvWriter, ALogWithoutNotesHasNoNoteColumn) {
  const ReadingLog log = log_of({record(1, "09:05:03", "1.5", "DCV AUTO 5.0000 V")});
  std::ostringstream plain, with_none;
  std::string error;
  ASSERT_TRUE(write_csv(log, plain, {}, error)) << error;
  ASSERT_TRUE(write_csv(log, with_none, {}, error, ".", NoteColumn("Note", {}, 1))) << error;
  EXPECT_EQ(with_none.str(), plain.str());
  EXPECT_EQ(plain.str().find("Note"), std::string::npos);
}

}  // namespace
}  // namespace tarvo
