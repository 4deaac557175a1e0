#include "combine/combined_rows.h"

#include <charconv>

namespace tarvo {

namespace {

CombinedCell meter_cell(const MeterReading& r) {
  // A meter's number has a handful of digits: at 15 they read as shown.
  return {r.value, r.value ? decimal_text(*r.value) : std::string(), std::string(r.unit)};
}

std::optional<Quantity> quantity_of(const MeterReading& r) {
  if (!r.value) return std::nullopt;
  const std::optional<Unit> unit = unit_of(r.unit);
  if (!unit) return std::nullopt;
  return Quantity{*r.value, *unit, r.after_gap};
}

CombinedCell formula_cell(const std::optional<Quantity>& q) {
  if (!q) return {};
  return {q->value, decimal_text(q->value), unit_name(q->unit)};
}

}  // namespace

std::string decimal_text(double value) {
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  return text == "-0" ? "0" : text;
}

CombinedRows::CombinedRows(const std::vector<std::vector<MeterReading>>& meters,
                           std::vector<NamedFormula>& formulas, std::int64_t tolerance_ms)
    : meters_(meters), formulas_(formulas), tolerance_ms_(tolerance_ms) {
  for (std::size_t m = 0; m < meters.size(); ++m) {
    channels_.emplace_back(1, static_cast<char>('A' + m));
  }
  for (const NamedFormula& f : formulas) channels_.push_back(f.name);
}

bool CombinedRows::next(CombinedRow& row) {
  if (next_ >= size()) return false;
  const MeterReading& base = meters_[0][next_++];
  row.time = base.when;
  row.cells.clear();
  values_.clear();
  for (const std::vector<MeterReading>& readings : meters_) {
    const std::optional<std::size_t> n = nearest_reading(base.utc_ms, readings, tolerance_ms_);
    row.cells.push_back(n ? meter_cell(readings[*n]) : CombinedCell{});
    values_.push_back(n ? quantity_of(readings[*n]) : std::nullopt);
  }
  add_formulas(row, static_cast<double>(base.utc_ms - meters_[0][0].utc_ms) / 1000);
  return true;
}

void CombinedRows::add_formulas(CombinedRow& row, double seconds) {
  for (NamedFormula& f : formulas_) {
    try {
      row.cells.push_back(formula_cell(f.formula.next(seconds, values_)));
    } catch (const UnitError& e) {
      throw UnitError(f.name + ": " + e.what() + " (row of " + format_iso_offset(row.time) + ")");
    }
  }
}

}  // namespace tarvo
