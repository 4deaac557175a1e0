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

std::map<std::string, std::string> exported(const ReadingLog& log) {
  const TempFolder folder;
  const auto file = folder / "log.xlsx";
  std::string error;
  EXPECT_TRUE(ExportSpreadsheet(log, file, SpreadsheetFormat::Xlsx, {}, &error)) << error;
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

}  // namespace
}  // namespace tarvo
