#include "files/biff_records.h"

namespace tarvo::biff {

namespace {

constexpr std::uint16_t kBof = 0x0809;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kCodepage = 0x0042;
constexpr std::uint16_t kWindow1 = 0x003D;
constexpr std::uint16_t kFont = 0x0031;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kStyle = 0x0293;
constexpr std::uint16_t kBoundSheet = 0x0085;
constexpr std::uint16_t kWsBool = 0x0081;
constexpr std::uint16_t kDimensions = 0x0200;
constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kWindow2 = 0x023E;

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kUtf16Codepage = 1200;
// Colour indexes meaning "the system's window text and background".
constexpr std::uint16_t kAutoFontColour = 0x7FFF;
constexpr std::uint16_t kXfAutoFill = 0x20C0;

// Fields of an XF: locked, a style XF with no parent, bottom alignment, and
// which attribute groups a style XF leaves to the cells.
constexpr std::uint16_t kXfStyleFlags = 0xFFF5;
constexpr std::uint16_t kXfCellFlags = 0x0001;
constexpr std::uint8_t kXfBottomAligned = 0x20;
constexpr std::uint8_t kXfStyleIgnores = 0xF4;

void append_cell_position(Bytes& out, std::uint16_t row, std::uint16_t column) {
  put_u16(out, row);
  put_u16(out, column);
  put_u16(out, kCellXf);
}

void append_xf(Bytes& out, std::uint16_t flags, std::uint8_t used_attributes) {
  const std::size_t record = begin_record(out, kXf);
  put_u16(out, 0);  // font
  put_u16(out, 0);  // number format: General
  put_u16(out, flags);
  put_u8(out, kXfBottomAligned);
  put_u8(out, 0);  // rotation
  put_u8(out, 0);  // indent, shrink, reading order
  put_u8(out, used_attributes);
  put_zeros(out, 8);  // no borders, no fill pattern
  put_u16(out, kXfAutoFill);
  end_record(out, record);
}

}  // namespace

std::size_t begin_record(Bytes& out, std::uint16_t type) {
  const std::size_t record = out.size();
  put_u16(out, type);
  put_u16(out, 0);
  return record;
}

void end_record(Bytes& out, std::size_t record) {
  patch_u16(out, record + 2, static_cast<std::uint16_t>(out.size() - record - 4));
}

void append_bof(Bytes& out, Substream substream) {
  const std::size_t record = begin_record(out, kBof);
  put_u16(out, kBiff8);
  put_u16(out, static_cast<std::uint16_t>(substream));
  put_u16(out, 0x0DBB);  // build
  put_u16(out, 0x07CC);  // year of the format
  put_u32(out, 0);       // file history
  put_u32(out, 6);       // lowest version that reads it: BIFF8
  end_record(out, record);
}

void append_eof(Bytes& out) {
  end_record(out, begin_record(out, kEof));
}

void append_codepage_utf16(Bytes& out) {
  const std::size_t record = begin_record(out, kCodepage);
  put_u16(out, kUtf16Codepage);
  end_record(out, record);
}

void append_window1(Bytes& out) {
  const std::size_t record = begin_record(out, kWindow1);
  put_u16(out, 0);       // left
  put_u16(out, 0);       // top
  put_u16(out, 0x3A98);  // width, twips
  put_u16(out, 0x2328);  // height, twips
  put_u16(out, 0x0038);  // scroll bars and sheet tabs shown
  put_u16(out, 0);       // active sheet
  put_u16(out, 0);       // first visible tab
  put_u16(out, 1);       // selected sheets
  put_u16(out, 600);     // tab bar width, per mille
  end_record(out, record);
}

void append_font(Bytes& out) {
  const std::size_t record = begin_record(out, kFont);
  put_u16(out, 200);  // height, twips: 10 points
  put_u16(out, 0);    // not italic, not struck out
  put_u16(out, kAutoFontColour);
  put_u16(out, 400);  // normal weight
  put_u16(out, 0);    // no super- or subscript
  put_u8(out, 0);     // not underlined
  put_u8(out, 2);     // family: swiss
  put_u8(out, 0);     // character set: ANSI
  put_u8(out, 0);
  put_u8(out, 5);  // name: 5 characters, 8-bit
  put_u8(out, 0);
  put_ascii(out, "Arial");
  end_record(out, record);
}

void append_style_xf(Bytes& out, bool normal) {
  append_xf(out, kXfStyleFlags, normal ? 0 : kXfStyleIgnores);
}

void append_cell_xf(Bytes& out) {
  append_xf(out, kXfCellFlags, 0);
}

void append_normal_style(Bytes& out) {
  const std::size_t record = begin_record(out, kStyle);
  put_u16(out, 0x8000);  // built-in style of XF 0
  put_u8(out, 0);        // Normal
  put_u8(out, 0xFF);     // no outline level
  end_record(out, record);
}

std::size_t append_boundsheet(Bytes& out, std::uint32_t sheet_offset, std::string_view ascii_name) {
  const std::size_t record = begin_record(out, kBoundSheet);
  const std::size_t offset_at = out.size();
  put_u32(out, sheet_offset);
  put_u8(out, 0);  // visible
  put_u8(out, 0);  // worksheet
  put_u8(out, static_cast<std::uint8_t>(ascii_name.size()));
  put_u8(out, 0);  // 8-bit characters
  put_ascii(out, ascii_name);
  end_record(out, record);
  return offset_at;
}

void append_wsbool(Bytes& out) {
  const std::size_t record = begin_record(out, kWsBool);
  put_u16(out, 0x04C1);  // a plain worksheet with the default outline settings
  end_record(out, record);
}

void append_dimensions(Bytes& out, std::uint32_t rows, std::uint16_t columns) {
  const std::size_t record = begin_record(out, kDimensions);
  put_u32(out, 0);     // first used row
  put_u32(out, rows);  // last used row + 1
  put_u16(out, 0);     // first used column
  put_u16(out, columns);
  put_u16(out, 0);
  end_record(out, record);
}

void append_number(Bytes& out, std::uint16_t row, std::uint16_t column, double value) {
  const std::size_t record = begin_record(out, kNumber);
  append_cell_position(out, row, column);
  put_f64(out, value);
  end_record(out, record);
}

void append_labelsst(Bytes& out, std::uint16_t row, std::uint16_t column, std::uint32_t string) {
  const std::size_t record = begin_record(out, kLabelSst);
  append_cell_position(out, row, column);
  put_u32(out, string);
  end_record(out, record);
}

void append_window2(Bytes& out, bool active) {
  const std::size_t record = begin_record(out, kWindow2);
  // Grid, headers, zeros, outline symbols; the active sheet is also selected.
  put_u16(out, active ? 0x06B6 : 0x00B6);
  put_u16(out, 0);     // top row
  put_u16(out, 0);     // left column
  put_u16(out, 0x40);  // grid line colour: automatic
  put_u16(out, 0);
  put_u16(out, 0);  // page break preview zoom: default
  put_u16(out, 0);  // normal view zoom: default
  put_u32(out, 0);
  end_record(out, record);
}

}  // namespace tarvo::biff
