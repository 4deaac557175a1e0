#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

struct real_Record;

// The one place where the texts a meter shows become numbers. Numbers in the
// texts carry the decimal separator the decoders wrote them with; every reader
// passes that separator along.

// A decimal text ("-12.345", with the given separator) times 10000, rounded to
// the nearest integer, halves away from zero. The arithmetic is exact: no
// binary floating point comes between the text and the integer. nullopt for a
// text that is not a plain signed decimal number, or whose value does not fit.
std::optional<std::int64_t> scaled_decimal(std::string_view text,
                                           std::string_view decimal_separator);

// The plotted value of a main number, times 10000. An overload ("OL", "-OL")
// stands at the full scale of its range, so it needs a range text that converts.
std::optional<std::int64_t> scaled_main_value(std::string_view main_no, std::string_view main_range,
                                              std::string_view decimal_separator);

// The main number of a record as a value in the unit it is shown in; nullopt
// for an overload ("OL", "-OL") or any text that is no plain decimal number.
// A point is read as the decimal mark too, as typed limits may use one.
std::optional<double> main_value(std::string_view main_no, std::string_view decimal_separator);

// The display shows exactly "OL" or "-OL" (spaces and controls aside).
bool is_overload(std::string_view main_no);
// The text shows an overload anywhere in it: +1 for "OL", -1 for one with a
// minus in it, 0 for no overload.
std::int8_t overload_sign(std::string_view main_no);

// A plain signed decimal number as its sign and its digits around the point,
// for arithmetic that must not round.
struct ExactDecimal {
  bool negative = false;
  std::string digits;        // integer digits followed by fraction digits
  std::ptrdiff_t point = 0;  // digits before the decimal point
};
std::optional<ExactDecimal> exact_decimal(std::string_view text,
                                          std::string_view decimal_separator);
// The number times 10^exponent as the shortest exact text with ".": the point
// moves, no arithmetic rounds. Negative zero reads as "0".
std::string shifted_text(const ExactDecimal& d, int exponent);
// The double nearest to the number.
double nearest_double(const ExactDecimal& d);

// The function and unit of a Main_Range text: records whose two agree make a
// run (the chart draws them on one page, the statistics sum them together);
// the range may differ. Views into the text.
struct RunFields {
  std::string_view function;  // "DCV", trimmed
  std::string_view unit;      // "V"
  friend bool operator==(const RunFields&, const RunFields&) = default;
};
RunFields run_fields(std::string_view main_range);

// The main number of a record as read once, when the record was made from a
// reading or read from a file, so that no reader of the log parses the text
// again. Ten bytes without alignment, to sit in the padding of a record. A
// text that is neither a plain number (an optional minus, at most 18 digits
// and one "." or ",") nor an overload is kept as "text": the few readers that
// meet one read the record's text instead.
class ReadingValue {
 public:
  enum class Form : std::uint8_t { Text, Number, Overload };

  ReadingValue() = default;
  static ReadingValue of(std::string_view main_no);

  Form form() const { return static_cast<Form>(bits_[kFlags] & kFormMask); }
  bool negative() const { return (bits_[kFlags] & kNegative) != 0; }
  // The decimal mark in the text: 0 for none, '.' or ','.
  char mark() const;
  // All digits of the number as one integer, and how many of them follow the mark.
  std::int64_t digits() const;
  int decimals() const { return bits_[kDecimals]; }
  bool exact_overload() const { return (bits_[kFlags] & kExactOverload) != 0; }

  friend bool operator==(const ReadingValue&, const ReadingValue&) = default;

 private:
  static constexpr std::size_t kDecimals = 8, kFlags = 9;
  static constexpr std::uint8_t kFormMask = 0x03, kNegative = 0x04, kMarkPoint = 0x08,
                                kMarkComma = 0x10, kExactOverload = 0x20;
  std::array<std::uint8_t, 10> bits_{};
};

// What a record's main number is, asked with the separator the texts carry.
// They answer from the value stored on the record, and read the text only for
// a record whose value is kept as text.
std::optional<double> main_value(const real_Record& record, std::string_view decimal_separator);
std::optional<ExactDecimal> main_decimal(const real_Record& record,
                                         std::string_view decimal_separator);
bool is_overload(const real_Record& record);
std::int8_t overload_sign(const real_Record& record);
// The value a record has in the trend chart and the overview, times 10000: an
// overload stands at plus or minus the full scale of its own range, on the
// edge of the plot, so a week-long overview shows where the meter was
// overloaded. A record without a number, or whose range text does not convert
// (with an undefined range code the decoder places no decimal point, so the
// number would be off by powers of ten), has no value and leaves no mark.
std::optional<std::int64_t> plotted_value(const real_Record& record,
                                          std::string_view decimal_separator);
// The full scale of the record's range, times 10000, or nullopt.
std::optional<std::int64_t> range_full_scale(const real_Record& record,
                                             std::string_view decimal_separator);

}  // namespace tarvo
