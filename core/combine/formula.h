#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "combine/unit_algebra.h"

namespace tarvo {

// A number with its unit. after_gap: it comes from a reading taken after the
// meter had gone away, so nothing joins it to the value before.
struct Quantity {
  double value = 0;
  Unit unit;
  bool after_gap = false;
};

// A formula that cannot be read: position counts characters from 1.
class FormulaError : public std::runtime_error {
 public:
  FormulaError(std::size_t position, const std::string& what);
  std::size_t position() const { return position_; }

 private:
  std::size_t position_;
};

// Units that do not go together (V + A).
class UnitError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A channel computed from the meters of a row: the meters by letter (A, B, ...),
// numbers, + - * / (also − × · ÷), parentheses, unary minus, and integral(X),
// X's running integral over time by the trapezoid rule, in X's unit times
// hours. A missing value anywhere leaves the row's result missing, and the
// integral holds its sum. A row or two without a value, where two meters'
// readings did not line up within the tolerance, are spanned from the value
// before to the value after; a gap is not: a value taken after the meter had
// gone away, or one after a stretch longer than three of the steps before,
// starts a new pair.
class Formula {
 public:
  // Reads text for `meters` meters; throws FormulaError.
  Formula(std::string_view text, std::size_t meters);

  // The next row: its time in seconds on the time base and each meter's value,
  // none where it has none. Rows come in time order. Throws UnitError.
  std::optional<Quantity> next(double seconds, const std::vector<std::optional<Quantity>>& meters);

 private:
  enum class Kind { Number, Meter, Negate, Add, Subtract, Multiply, Divide, Integral };
  struct Node {
    Kind kind = Kind::Number;
    double number = 0;
    std::size_t meter = 0;  // for Meter; for Integral the index of its running sum
    int left = -1;
    int right = -1;
    std::string text;  // for Integral: how it was written, for messages
  };
  struct RunningSum {
    bool has_last = false;
    bool missed = false;   // rows without a value since the last one
    double last_step = 0;  // seconds between the last two values in a row
    double last_seconds = 0;
    double last_value = 0;
    double total = 0;
    std::optional<Unit> unit;
  };
  struct Row {
    double seconds;
    const std::vector<std::optional<Quantity>>& meters;
  };
  class Parser;

  std::optional<Quantity> evaluate(int node, const Row& row);
  std::optional<Quantity> combine(const Node& node, const Quantity& a, const Quantity& b) const;
  std::optional<Quantity> integrate(const Node& node, const std::optional<Quantity>& x,
                                    double seconds);

  std::vector<Node> nodes_;
  std::vector<RunningSum> sums_;
  int root_ = -1;
};

}  // namespace tarvo
