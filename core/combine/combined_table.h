#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "combine/formula.h"
#include "combine/time_base.h"

namespace tarvo {

// A value of a row with its unit; no value leaves the cell empty.
struct CombinedCell {
  std::optional<double> value;
  std::string text;  // value as decimal text with "."
  std::string unit;
};

struct CombinedRow {
  LocalTime time;
  std::vector<CombinedCell> cells;  // the meters in order, then the formulas
};

struct CombinedTable {
  std::vector<std::string> channels;  // "A", "B", ..., then the formulas' names
  std::vector<CombinedRow> rows;
};

struct NamedFormula {
  std::string name;
  Formula formula;
};

// The value to 15 significant digits: what the meters' digits can carry,
// without the binary noise of a product (6.0051009, not 6.0051008999999995).
std::string decimal_text(double value);

// The meters' readings on the time base of the first meter's readings: one row
// for each of them, and in it each meter's reading nearest in time within
// tolerance_ms, then the formulas. Throws UnitError naming the formula and the
// row where units do not go together.
CombinedTable combine_readings(const std::vector<std::vector<MeterReading>>& meters,
                               std::vector<NamedFormula>& formulas, std::int64_t tolerance_ms);

}  // namespace tarvo
