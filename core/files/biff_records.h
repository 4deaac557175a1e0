#pragma once

#include <cstdint>
#include <string_view>

#include "files/byte_buffer.h"

namespace tarvo::biff {

// Every BIFF8 record is a 2-byte type, a 2-byte body length and the body; a
// body holds at most this many bytes, longer data goes on in CONTINUE records.
inline constexpr std::size_t kMaxRecordBody = 8224;

inline constexpr std::uint16_t kContinue = 0x003C;
inline constexpr std::uint16_t kSst = 0x00FC;
inline constexpr std::uint16_t kExtSst = 0x00FF;

// The cell format every cell uses: the first cell XF after the 15 style XFs.
inline constexpr std::uint16_t kCellXf = 15;

enum class Substream : std::uint16_t { Globals = 0x0005, Worksheet = 0x0010 };

// Starts a record whose length is patched by end_record; returns its position.
std::size_t begin_record(Bytes& out, std::uint16_t type);
void end_record(Bytes& out, std::size_t record);

void append_bof(Bytes& out, Substream substream);
void append_eof(Bytes& out);

// Workbook globals, in the order they are written.
void append_codepage_utf16(Bytes& out);
void append_window1(Bytes& out);
void append_font(Bytes& out);
void append_style_xf(Bytes& out, bool normal);
void append_cell_xf(Bytes& out);
void append_normal_style(Bytes& out);
// A sheet entry; sheet_offset is the stream position of the sheet's BOF.
// Returns where that offset sits, for patching once it is known.
std::size_t append_boundsheet(Bytes& out, std::uint32_t sheet_offset, std::string_view ascii_name);

// Worksheet records. rows and columns count the used cells from A1.
void append_wsbool(Bytes& out);
void append_dimensions(Bytes& out, std::uint32_t rows, std::uint16_t columns);
void append_number(Bytes& out, std::uint16_t row, std::uint16_t column, double value);
void append_labelsst(Bytes& out, std::uint16_t row, std::uint16_t column, std::uint32_t string);
void append_window2(Bytes& out, bool active);

}  // namespace tarvo::biff
