#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// A unit as the powers of what the meters measure: volt, ampere, second, hour,
// percent and dBm. Ω is V/A, S is A/V, F is A·s/V, Hz is 1/s, W is V·A. The hour
// stays apart from the second, so an integral in A·h keeps the hours it was
// given in and never meets A·s in a sum unconverted.
enum class BaseQuantity { Volt, Ampere, Second, Hour, Percent, Dbm };
inline constexpr std::size_t kBaseQuantities = 6;

struct Unit {
  std::array<int, kBaseQuantities> power{};

  friend bool operator==(const Unit&, const Unit&) = default;
};

// The unit a reading's base unit stands for ("V", "Ω", "Hz", ...); "" is a plain
// number; none for a name this algebra does not know.
std::optional<Unit> unit_of(std::string_view name);

Unit operator*(const Unit& a, const Unit& b);
Unit operator/(const Unit& a, const Unit& b);
Unit times_hours(const Unit& a);  // a·h: what an integral over time gives

// The unit by its known name where there is one (W, Ω, S, F, Hz), else a known
// name with the rest written out (A·h, W·h, V/s, V²), else the powers
// themselves; "" for a plain number.
std::string unit_name(const Unit& unit);

}  // namespace tarvo
