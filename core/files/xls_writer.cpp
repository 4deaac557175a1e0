#include "files/xls_writer.h"

#include <array>
#include <vector>

#include "files/biff_records.h"
#include "files/compound_file.h"
#include "files/shared_strings.h"

namespace tarvo {

namespace {

// Sheet records are gathered up to this size before they go to the file.
constexpr std::size_t kFlushBytes = std::size_t{1} << 16;
constexpr int kFonts = 4;  // the built-in styles refer to fonts 0 to 3
constexpr int kStyleXfs = 15;

std::size_t record_size(void (*append)(Bytes&)) {
  Bytes bytes;
  append(bytes);
  return bytes.size();
}

const std::size_t kNumberSize = record_size([](Bytes& b) { biff::append_number(b, 0, 0, 0); });
const std::size_t kLabelSize = record_size([](Bytes& b) { biff::append_labelsst(b, 0, 0, 0); });

// Neighbouring records mostly repeat their ranges and sub display, so each
// column remembers its last text and its number, sparing the table lookup.
class RepeatCache {
 public:
  template <typename Lookup>
  std::uint32_t number(std::size_t column, std::string_view text, Lookup lookup) {
    Slot& slot = slots_[column];
    if (!slot.used || slot.text != text) slot = {true, text, lookup(text)};
    return slot.number;
  }

 private:
  struct Slot {
    bool used = false;
    std::string_view text;
    std::uint32_t number = 0;
  };
  std::array<Slot, kSheetColumns> slots_;
};

// What the first pass over the log learns: every distinct text, and how many
// text cells each page holds, which fixes each sheet's size in advance.
struct WorkbookPlan {
  SharedStrings strings;
  std::vector<std::uint64_t> page_labels;
  std::uint64_t references = 0;
};

WorkbookPlan plan_workbook(const ReadingLog& log) {
  WorkbookPlan plan;
  const std::int64_t pages = page_count(log.count());
  plan.page_labels.assign(static_cast<std::size_t>(pages), kSheetColumns);
  for (std::size_t c = 0; c < kSheetColumns; ++c) plan.strings.add(column_title(c));
  RepeatCache repeats;
  const auto add = [&plan](std::string_view text) { return plan.strings.add(text); };
  for (std::int64_t n = 1; n <= log.count(); ++n) {
    std::uint64_t& labels = plan.page_labels[static_cast<std::size_t>((n - 1) / kPageRecords)];
    for (std::size_t c = 1; c < kSheetColumns; ++c) {
      const std::string_view text = text_cell(log[n], c);
      if (text.empty()) continue;
      repeats.number(c, text, add);
      ++labels;
    }
  }
  for (const std::uint64_t labels : plan.page_labels) plan.references += labels;
  return plan;
}

void append_sheet_head(Bytes& out, std::int64_t records) {
  biff::append_bof(out, biff::Substream::Worksheet);
  biff::append_wsbool(out);
  biff::append_dimensions(out, static_cast<std::uint32_t>(records + 1), kSheetColumns);
}

void append_sheet_tail(Bytes& out, bool active) {
  biff::append_window2(out, active);
  biff::append_eof(out);
}

std::uint64_t sheet_size(std::int64_t records, std::uint64_t labels) {
  Bytes frame;
  append_sheet_head(frame, records);
  append_sheet_tail(frame, false);
  return frame.size() + static_cast<std::uint64_t>(records) * kNumberSize + labels * kLabelSize;
}

// The globals substream, with the sheet positions still to be patched in.
struct Globals {
  Bytes bytes;
  std::vector<std::size_t> sheet_offsets;
};

Globals build_globals(const WorkbookPlan& plan) {
  Globals g;
  biff::append_bof(g.bytes, biff::Substream::Globals);
  biff::append_codepage_utf16(g.bytes);
  biff::append_window1(g.bytes);
  for (int i = 0; i < kFonts; ++i) biff::append_font(g.bytes);
  for (int i = 0; i < kStyleXfs; ++i) biff::append_style_xf(g.bytes, i == 0);
  biff::append_cell_xf(g.bytes);
  biff::append_normal_style(g.bytes);
  for (std::size_t p = 0; p < plan.page_labels.size(); ++p) {
    g.sheet_offsets.push_back(
        biff::append_boundsheet(g.bytes, 0, page_name(static_cast<std::int64_t>(p) + 1)));
  }
  plan.strings.append_records(g.bytes, g.bytes.size(), static_cast<std::uint32_t>(plan.references));
  biff::append_eof(g.bytes);
  return g;
}

// Patches each sheet's position into the globals; returns the stream size.
std::uint64_t place_sheets(Globals& g, const WorkbookPlan& plan, std::int64_t records) {
  std::uint64_t position = g.bytes.size();
  for (std::size_t p = 0; p < plan.page_labels.size(); ++p) {
    patch_u32(g.bytes, g.sheet_offsets[p], static_cast<std::uint32_t>(position));
    const PageRecords page = page_records(static_cast<std::int64_t>(p) + 1, records);
    position += sheet_size(page.last - page.first + 1, plan.page_labels[p]);
  }
  return position;
}

// The cells of a sheet and what it takes to write them.
struct SheetContext {
  CompoundFileWriter& file;
  const WorkbookPlan& plan;
  const ReadingLog& log;
  ProgressTicker& ticker;
  RepeatCache repeats;
};

void append_record_row(Bytes& out, SheetContext& sheet, const real_Record& record,
                       std::uint16_t row) {
  biff::append_number(out, row, 0, static_cast<double>(record.Index));
  const auto at = [&sheet](std::string_view text) { return sheet.plan.strings.at(text); };
  for (std::size_t c = 1; c < kSheetColumns; ++c) {
    const std::string_view text = text_cell(record, c);
    if (text.empty()) continue;
    biff::append_labelsst(out, row, static_cast<std::uint16_t>(c),
                          sheet.repeats.number(c, text, at));
  }
}

// Streams one sheet; false when the progress callback cancelled.
bool write_sheet(SheetContext& sheet, std::int64_t page) {
  const PageRecords records = page_records(page, sheet.log.count());
  Bytes out;
  append_sheet_head(out, records.last - records.first + 1);
  for (std::size_t c = 0; c < kSheetColumns; ++c) {
    biff::append_labelsst(out, 0, static_cast<std::uint16_t>(c),
                          sheet.plan.strings.at(column_title(c)));
  }
  for (std::int64_t n = records.first; n <= records.last; ++n) {
    append_record_row(out, sheet, sheet.log[n], static_cast<std::uint16_t>(n - records.first + 1));
    if (out.size() >= kFlushBytes) {
      sheet.file.write(out);
      out.clear();
    }
    if (!sheet.ticker.record_done()) return false;
  }
  append_sheet_tail(out, page == 1);
  sheet.file.write(out);
  return true;
}

}  // namespace

bool write_xls(const ReadingLog& log, std::ostream& out, const ExportProgress& progress,
               std::string& error) {
  const WorkbookPlan plan = plan_workbook(log);
  Globals globals = build_globals(plan);
  const std::uint64_t stream_size = place_sheets(globals, plan, log.count());
  if (stream_size > kCfbMaxStreamSize) {
    error = "the log is too long for an .xls file";
    return false;
  }
  CompoundFileWriter file(out, "Workbook", stream_size);
  file.write(globals.bytes);
  ProgressTicker ticker(progress, log.count());
  SheetContext sheet{file, plan, log, ticker, {}};
  bool go_on = ticker.start();
  for (std::int64_t page = 1; go_on && page <= page_count(log.count()); ++page) {
    go_on = write_sheet(sheet, page);
  }
  if (!go_on || !ticker.finish()) {
    error = "cancelled";
    return false;
  }
  if (!file.finish()) {
    error = "the file could not be written";
    return false;
  }
  return true;
}

}  // namespace tarvo
