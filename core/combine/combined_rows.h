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

struct NamedFormula {
  std::string name;
  Formula formula;
};

// The value to 15 significant digits: what the meters' digits can carry,
// without the binary noise of a product (6.0051009, not 6.0051008999999995).
std::string decimal_text(double value);

// The meters' readings on the time base of the first meter's readings, one
// row at a time so that a long session is never held twice: a row for each
// reading of the first meter, and in it each meter's reading nearest in time
// within tolerance_ms, then the formulas. The readings and the formulas must
// outlive it.
class CombinedRows {
 public:
  CombinedRows(const std::vector<std::vector<MeterReading>>& meters,
               std::vector<NamedFormula>& formulas, std::int64_t tolerance_ms);

  // "A", "B", ..., then the formulas' names.
  const std::vector<std::string>& channels() const { return channels_; }
  std::size_t size() const { return meters_.empty() ? 0 : meters_[0].size(); }

  // The next row into row; false after the last. Throws UnitError naming the
  // formula and the row where units do not go together.
  bool next(CombinedRow& row);

 private:
  void add_formulas(CombinedRow& row, double seconds);

  const std::vector<std::vector<MeterReading>>& meters_;
  std::vector<NamedFormula>& formulas_;
  std::int64_t tolerance_ms_;
  std::vector<std::string> channels_;
  std::vector<std::optional<Quantity>> values_;
  std::size_t next_ = 0;
};

}  // namespace tarvo
