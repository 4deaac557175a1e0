#include "combine/unit_algebra.h"

#include <cstdlib>

namespace tarvo {

namespace {

constexpr std::size_t index(BaseQuantity q) {
  return static_cast<std::size_t>(q);
}

constexpr Unit make(int volt, int ampere, int second) {
  Unit u;
  u.power[index(BaseQuantity::Volt)] = volt;
  u.power[index(BaseQuantity::Ampere)] = ampere;
  u.power[index(BaseQuantity::Second)] = second;
  return u;
}

constexpr Unit only(BaseQuantity q) {
  Unit u;
  u.power[index(q)] = 1;
  return u;
}

struct NamedUnit {
  std::string_view name;
  Unit unit;
};

// In the order a name is preferred when two fit equally well: A·s rather
// than s·A.
constexpr NamedUnit kNamed[] = {
    {"V", make(1, 0, 0)},       {"A", make(0, 1, 0)},  {"W", make(1, 1, 0)},
    {"\u03A9", make(1, -1, 0)}, {"S", make(-1, 1, 0)}, {"F", make(-1, 1, 1)},
    {"Hz", make(0, 0, -1)},     {"s", make(0, 0, 1)},
};

constexpr std::string_view kSymbols[kBaseQuantities] = {"V", "A", "s", "h", "%", "dBm"};

// Only volt, ampere and second are folded into names; the rest is always
// written out.
int named_cost(const Unit& rest) {
  int cost = 0;
  for (BaseQuantity q : {BaseQuantity::Volt, BaseQuantity::Ampere, BaseQuantity::Second}) {
    cost += std::abs(rest.power[index(q)]);
  }
  return cost;
}

// A name is only used when the rest does not repeat one of its own
// quantities in the same direction: V² rather than V·V.
bool fits(const Unit& named, const Unit& rest) {
  for (std::size_t i = 0; i < kBaseQuantities; ++i) {
    if (named.power[i] * rest.power[i] > 0) return false;
  }
  return true;
}

std::string superscript(int power) {
  static constexpr std::string_view kDigits[] = {"\u2070", "\u00B9", "\u00B2", "\u00B3", "\u2074",
                                                 "\u2075", "\u2076", "\u2077", "\u2078", "\u2079"};
  if (power == 1) return {};
  std::string digits;
  for (int p = power; p > 0; p /= 10) digits.insert(0, kDigits[p % 10]);
  return digits;
}

// The symbols of the positive powers (sign 1) or of the negative ones (sign
// -1), joined by "·"; how many there were in count.
std::string factors(const Unit& u, int sign, int& count) {
  std::string text;
  count = 0;
  for (std::size_t i = 0; i < kBaseQuantities; ++i) {
    const int p = u.power[i] * sign;
    if (p <= 0) continue;
    if (count++ > 0) text += "\u00B7";
    text.append(kSymbols[i]).append(superscript(p));
  }
  return text;
}

std::string written_out(std::string_view head, const Unit& rest) {
  int above = 0;
  int below = 0;
  const std::string numerator = factors(rest, 1, above);
  const std::string denominator = factors(rest, -1, below);
  std::string text(head);
  if (!numerator.empty()) {
    if (!text.empty()) text += "\u00B7";
    text += numerator;
  }
  if (below == 0) return text;
  if (text.empty()) text = "1";
  return text + "/" + (below > 1 ? "(" + denominator + ")" : denominator);
}

}  // namespace

std::optional<Unit> unit_of(std::string_view name) {
  if (name.empty()) return Unit{};
  for (const NamedUnit& n : kNamed) {
    if (n.name == name) return n.unit;
  }
  if (name == "%") return only(BaseQuantity::Percent);
  if (name == "dBm") return only(BaseQuantity::Dbm);
  if (name == "h") return only(BaseQuantity::Hour);
  return std::nullopt;
}

Unit operator*(const Unit& a, const Unit& b) {
  Unit u;
  for (std::size_t i = 0; i < kBaseQuantities; ++i) u.power[i] = a.power[i] + b.power[i];
  return u;
}

Unit operator/(const Unit& a, const Unit& b) {
  Unit u;
  for (std::size_t i = 0; i < kBaseQuantities; ++i) u.power[i] = a.power[i] - b.power[i];
  return u;
}

Unit times_hours(const Unit& a) {
  return a * only(BaseQuantity::Hour);
}

std::string unit_name(const Unit& unit) {
  const NamedUnit* best = nullptr;
  int best_cost = named_cost(unit);
  for (const NamedUnit& n : kNamed) {
    const Unit rest = unit / n.unit;
    const int cost = named_cost(rest);
    if (cost < best_cost && fits(n.unit, rest)) {
      best = &n;
      best_cost = cost;
    }
  }
  if (best == nullptr) return written_out({}, unit);
  return written_out(best->name, unit / best->unit);
}

}  // namespace tarvo
