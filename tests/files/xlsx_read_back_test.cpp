#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/spreadsheet_export.h"
#include "sheet_test_log.h"
#include "zip_reader.h"

namespace tarvo {
namespace {

using namespace sheet_test;

std::string unescaped(std::string_view xml) {
  std::string text;
  for (std::size_t i = 0; i < xml.size(); ++i) {
    if (xml[i] != '&') {
      text += xml[i];
      continue;
    }
    const std::size_t semi = xml.find(';', i);
    const std::string_view entity = xml.substr(i, semi - i + 1);
    if (entity == "&amp;") text += '&';
    if (entity == "&lt;") text += '<';
    if (entity == "&gt;") text += '>';
    if (entity == "&quot;") text += '"';
    if (entity == "&apos;") text += '\'';
    i = semi;
  }
  return text;
}

std::string_view between(std::string_view xml, std::string_view open, std::string_view close) {
  const std::size_t start = xml.find(open);
  if (start == std::string_view::npos) return {};
  const std::size_t body = xml.find('>', start) + 1;
  return xml.substr(body, xml.find(close, body) - body);
}

// A cell as a reader sees it: a number, an inline text, or absent.
struct Cell {
  std::string kind;  // "n", "inlineStr" or "" when the sheet has no such cell
  std::string value;

  friend bool operator==(const Cell&, const Cell&) = default;
};

void PrintTo(const Cell& c, std::ostream* os) {
  *os << c.kind << ":" << c.value;
}

Cell cell(std::string_view sheet, const std::string& ref) {
  const std::size_t start = sheet.find("<c r=\"" + ref + "\"");
  if (start == std::string_view::npos) return {};
  const std::string_view xml = sheet.substr(start, sheet.find("</c>", start) - start);
  const bool text = xml.find("t=\"inlineStr\"") != std::string_view::npos;
  if (text) return {"inlineStr", unescaped(between(xml, "<t", "</t>"))};
  return {"n", std::string(between(xml, "<v", "</v>"))};
}

std::vector<std::string> sheet_names(std::string_view workbook) {
  std::vector<std::string> names;
  for (std::size_t pos = workbook.find("<sheet "); pos != std::string_view::npos;
       pos = workbook.find("<sheet ", pos + 1)) {
    const std::size_t name = workbook.find("name=\"", pos) + 6;
    names.push_back(unescaped(workbook.substr(name, workbook.find('"', name) - name)));
  }
  return names;
}

std::map<std::string, std::string> exported(const ReadingLog& log, std::string_view separator = ".",
                                            const NoteColumn& notes = {}) {
  const TempFolder folder;
  const auto file = folder / "log.xlsx";
  std::string error;
  EXPECT_TRUE(ExportSpreadsheet(log, file, SpreadsheetFormat::Xlsx, {}, &error, separator, notes))
      << error;
  return zip_test::zip_members(read_bytes(file));
}

const std::vector<std::string> kTitles = {"Index",      "Time", "Main",
                                          "Main_Range", "Sub",  "Sub_Range"};
const char* const kColumns[] = {"A", "B", "C", "D", "E", "F"};

void expect_titles(std::string_view sheet) {
  for (std::size_t c = 0; c < kTitles.size(); ++c) {
    EXPECT_EQ(cell(sheet, std::string(kColumns[c]) + "1"), (Cell{"inlineStr", kTitles[c]}));
  }
}

TEST(XlsxReadBack, TextsAndNumbersKeepTheirKindAndCharacters) {
  const auto members = exported(log_of({
      record(1, "09:05:03", "-12.345", "OHM AUTO 50.000 K\u03A9", "60.00", "FRE 99.99 Hz"),
      record(-7, "23:59:59", "1,5", "交流 <&> \"q\"", " 2 ", "T\u2103"),
  }));
  ASSERT_EQ(sheet_names(members.at("xl/workbook.xml")), std::vector<std::string>{"page 1"});
  const std::string& sheet = members.at("xl/worksheets/sheet1.xml");
  expect_titles(sheet);
  const std::vector<Cell> row3 = {{"n", "-7"},          {"inlineStr", "23:59:59"},
                                  {"inlineStr", "1,5"}, {"inlineStr", "交流 <&> \"q\""},
                                  {"inlineStr", " 2 "}, {"inlineStr", "T\u2103"}};
  for (std::size_t c = 0; c < row3.size(); ++c) {
    EXPECT_EQ(cell(sheet, std::string(kColumns[c]) + "3"), row3[c]) << kColumns[c];
  }
  EXPECT_EQ(cell(sheet, "D2"), (Cell{"inlineStr", "OHM AUTO 50.000 K\u03A9"}));
  EXPECT_EQ(cell(sheet, "A4"), Cell{});
}

TEST(XlsxReadBack, TheRecordAfter65500StartsPageTwoBelowItsTitles) {
  const auto members = exported(numbered_log(65501));
  EXPECT_EQ(sheet_names(members.at("xl/workbook.xml")),
            (std::vector<std::string>{"page 1", "page 2"}));
  const std::string& first = members.at("xl/worksheets/sheet1.xml");
  const std::string& second = members.at("xl/worksheets/sheet2.xml");
  expect_titles(first);
  expect_titles(second);
  EXPECT_EQ(cell(first, "A65501"), (Cell{"n", "65500"}));
  EXPECT_EQ(cell(first, "B65501"), (Cell{"inlineStr", numbered_record(65500).Time.str()}));
  EXPECT_EQ(cell(first, "A65502"), Cell{});
  EXPECT_EQ(cell(second, "A2"), (Cell{"n", "65501"}));
  EXPECT_EQ(cell(second, "C2"), (Cell{"inlineStr", numbered_record(65501).Main_No.str()}));
  EXPECT_EQ(cell(second, "A3"), Cell{});
}

// The number format of a cell's style: the style's index in cellXfs names
// an xf, whose numFmtId names the format.
std::string format_code(const std::map<std::string, std::string>& members, std::string_view sheet,
                        const std::string& ref) {
  const std::size_t start = sheet.find("<c r=\"" + ref + "\"");
  const std::string_view xml = sheet.substr(start, sheet.find('>', start) - start);
  const std::size_t s = xml.find(" s=\"");
  if (s == std::string_view::npos) return {};
  const int style = std::stoi(std::string(xml.substr(s + 4)));
  const std::string& styles = members.at("xl/styles.xml");
  std::size_t xf = styles.find("<xf ", styles.find("<cellXfs"));
  for (int i = 0; i < style; ++i) xf = styles.find("<xf ", xf + 1);
  const std::size_t id_at = styles.find("numFmtId=\"", xf) + 10;
  const std::string id = styles.substr(id_at, styles.find('"', id_at) - id_at);
  const std::size_t fmt = styles.find("<numFmt numFmtId=\"" + id + "\"");
  const std::size_t code_at = styles.find("formatCode=\"", fmt) + 12;
  return styles.substr(code_at, styles.find('"', code_at) - code_at);
}

TEST(XlsxReadBack, TheAddedColumnsAreADateTimeNumbersAndUnits) {
  real_Record dated =
      record(1, "14:03:27", "-12,345", "DCV AUTO 50,000 mV", "0,0060", "FRE 9,9999 KHz");
  dated.DateTime = {2026, 12, 9, 14, 3, 27, 0, 60};
  dated.Dated = true;
  dated.Frames = {9, 8, -12.4, -12.3, -12.35};
  dated.AfterGap = true;
  real_Record typed = record(3, "14:03:29", "0,4254", "ACV AUTO 5,0000 V");
  typed.TestFrame = true;
  const auto members =
      exported(log_of({dated, record(2, "14:03:28", "-OL", "OHM MANU 500,00 \u03A9"), typed}), ",");
  const std::string& sheet = members.at("xl/worksheets/sheet1.xml");
  const char* const titles[] = {"DateTime",  "Value",      "Unit",   "Overload",
                                "Sub Value", "Sub Unit",   "Frames", "Frame Min",
                                "Frame Max", "Frame Mean", "Event"};
  const char* const added[] = {"G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q"};
  for (std::size_t c = 0; c < 11; ++c) {
    EXPECT_EQ(cell(sheet, std::string(added[c]) + "1"), (Cell{"inlineStr", titles[c]}));
  }
  const Cell when = cell(sheet, "G2");
  EXPECT_EQ(when.kind, "n");
  EXPECT_NEAR(std::stod(when.value), 46365.58572916667, 1e-9);  // days since 1899-12-30
  EXPECT_EQ(format_code(members, sheet, "G2"), "yyyy-mm-dd hh:mm:ss");
  EXPECT_EQ(cell(sheet, "H2"), (Cell{"n", "-0.012345"}));
  EXPECT_EQ(cell(sheet, "I2"), (Cell{"inlineStr", "V"}));
  EXPECT_EQ(cell(sheet, "J2"), (Cell{"n", "0"}));
  EXPECT_EQ(cell(sheet, "K2"), (Cell{"n", "6"}));
  EXPECT_EQ(cell(sheet, "L2"), (Cell{"inlineStr", "Hz"}));
  EXPECT_EQ(cell(sheet, "M2"), (Cell{"n", "9"}));
  EXPECT_EQ(cell(sheet, "N2"), (Cell{"n", "-0.0124"}));
  EXPECT_EQ(cell(sheet, "O2"), (Cell{"n", "-0.0123"}));
  EXPECT_EQ(cell(sheet, "P2"), (Cell{"n", "-0.01235"}));
  // Undated, overloaded, no sub display: only the unit and the overload.
  EXPECT_EQ(cell(sheet, "G3"), Cell{});
  EXPECT_EQ(cell(sheet, "H3"), Cell{});
  EXPECT_EQ(cell(sheet, "I3"), (Cell{"inlineStr", "\u03A9"}));
  EXPECT_EQ(cell(sheet, "J3"), (Cell{"n", "1"}));
  EXPECT_EQ(cell(sheet, "K3"), Cell{});
  EXPECT_EQ(cell(sheet, "L3"), Cell{});
  EXPECT_EQ(cell(sheet, "M3"), Cell{});  // a text log's record has no frames
  EXPECT_EQ(cell(sheet, "N3"), Cell{});
  // The event column: the first reading after a gap, a typed test frame.
  EXPECT_EQ(cell(sheet, "Q2"), (Cell{"inlineStr", "gap"}));
  EXPECT_EQ(cell(sheet, "Q3"), Cell{});
  EXPECT_EQ(cell(sheet, "Q4"), (Cell{"inlineStr", "test frame"}));
}

// The Note column follows Event (R) on every page, a text cell on the rows of
// readings with notes only; a log without notes has no R at all.
TEST(XlsxReadBack, NotesStandInTheirReadingsRowsOnEveryPage) {
  const ReadingLog log = numbered_log(65501);
  const auto members = exported(
      log, ".",
      NoteColumn("Nota", {{1, "start"}, {65501, "a"}, {65500, "<&>"}, {65501, "b"}}, 65501));
  const std::string& first = members.at("xl/worksheets/sheet1.xml");
  const std::string& second = members.at("xl/worksheets/sheet2.xml");
  const struct {
    const std::string& sheet;
    const char* ref;
    Cell expected;
  } cases[] = {
      {first, "R1", {"inlineStr", "Nota"}},    {second, "R1", {"inlineStr", "Nota"}},
      {first, "R2", {"inlineStr", "start"}},   {first, "R3", {}},
      {first, "R65501", {"inlineStr", "<&>"}}, {second, "R2", {"inlineStr", "a; b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(cell(c.sheet, c.ref), c.expected) << c.ref;

  const auto plain = exported(log_of({numbered_record(1)}));
  EXPECT_EQ(plain.at("xl/worksheets/sheet1.xml").find("r=\"R"), std::string::npos);
}

}  // namespace
}  // namespace tarvo
