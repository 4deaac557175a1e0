#include "combine/combined_table.h"

#include <charconv>

namespace tarvo {

namespace {

CombinedCell meter_cell(const MeterReading& r) {
  return {r.value, r.value ? r.text : std::string(), r.unit};
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

std::vector<std::vector<std::optional<std::size_t>>> align_all(
    const std::vector<std::vector<MeterReading>>& meters, const std::vector<std::int64_t>& row_ms,
    std::int64_t tolerance_ms) {
  std::vector<std::vector<std::optional<std::size_t>>> matched;
  for (const std::vector<MeterReading>& m : meters) {
    matched.push_back(align_readings(row_ms, m, tolerance_ms));
  }
  return matched;
}

void add_formulas(CombinedRow& row, double seconds,
                  const std::vector<std::optional<Quantity>>& values,
                  std::vector<NamedFormula>& formulas) {
  for (NamedFormula& f : formulas) {
    try {
      row.cells.push_back(formula_cell(f.formula.next(seconds, values)));
    } catch (const UnitError& e) {
      throw UnitError(f.name + ": " + e.what() + " (row of " + format_iso_offset(row.time) + ")");
    }
  }
}

}  // namespace

std::string decimal_text(double value) {
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  return text == "-0" ? "0" : text;
}

CombinedTable combine_readings(const std::vector<std::vector<MeterReading>>& meters,
                               std::vector<NamedFormula>& formulas, std::int64_t tolerance_ms) {
  CombinedTable table;
  for (std::size_t m = 0; m < meters.size(); ++m) {
    table.channels.emplace_back(1, static_cast<char>('A' + m));
  }
  for (const NamedFormula& f : formulas) table.channels.push_back(f.name);
  if (meters.empty()) return table;
  std::vector<std::int64_t> row_ms;
  for (const MeterReading& r : meters[0]) row_ms.push_back(r.utc_ms);
  const auto matched = align_all(meters, row_ms, tolerance_ms);
  for (std::size_t i = 0; i < row_ms.size(); ++i) {
    CombinedRow row;
    row.time = meters[0][i].when;
    std::vector<std::optional<Quantity>> values;
    for (std::size_t m = 0; m < meters.size(); ++m) {
      const std::optional<std::size_t> n = matched[m][i];
      row.cells.push_back(n ? meter_cell(meters[m][*n]) : CombinedCell{});
      values.push_back(n ? quantity_of(meters[m][*n]) : std::nullopt);
    }
    add_formulas(row, static_cast<double>(row_ms[i] - row_ms[0]) / 1000, values, formulas);
    table.rows.push_back(std::move(row));
  }
  return table;
}

}  // namespace tarvo
