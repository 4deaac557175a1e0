#include "meter_catalogue.h"

#include <array>
#include <string>

namespace tarvo::sim {

namespace {

// clang-format off
constexpr std::array<MeterRange, 4> kVolts{{
  {0, "5.0000", "V"}, {1, "50.000", "V"}, {2, "500.00", "V"}, {3, "1000.0", "V"}}};
constexpr std::array<MeterRange, 2> kMillivolts{{{0, "50.000", "mV"}, {1, "500.00", "mV"}}};
constexpr std::array<MeterRange, 2> kMicroamps{{{0, "500.00", "uA"}, {1, "5000.0", "uA"}}};
constexpr std::array<MeterRange, 2> kMilliamps{{{0, "50.000", "mA"}, {1, "500.00", "mA"}}};
constexpr std::array<MeterRange, 2> kAmps{{{0, "5.0000", "A"}, {1, "10.000", "A"}}};
constexpr std::array<MeterRange, 1> kDiode{{{0, "5.0000", "V"}}};
constexpr std::array<MeterRange, 1> kContinuity{{{0, "500.00", "Ω"}}};
constexpr std::array<MeterRange, 1> kDbm{{{0, "99.99", "dBm"}}};
constexpr std::array<MeterRange, 1> kDuty{{{0, "99.99", "%"}}};
constexpr std::array<MeterRange, 6> kOhms{{
  {0, "500.00", "Ω"}, {1, "5.0000", "KΩ"}, {2, "50.000", "KΩ"},
  {3, "500.00", "KΩ"}, {4, "5.0000", "MΩ"}, {5, "50.000", "MΩ"}}};
// The two lowest capacitance ranges are both labelled 50.00 nF.
constexpr std::array<MeterRange, 6> kCapacitance{{
  {0, "50.00", "nF"}, {1, "50.00", "nF"}, {2, "5.000", "uF"},
  {3, "50.00", "uF"}, {4, "500.0", "uF"}, {5, "5000", "uF"}}};
constexpr std::array<MeterRange, 6> kFrequency{{
  {0, "99.999", "Hz"}, {1, "999.99", "Hz"}, {2, "9.9999", "KHz"},
  {3, "99.999", "KHz"}, {4, "999.99", "KHz"}, {5, "9.9999", "MHz"}}};
// The sub display counts frequency in four ranges of its own.
constexpr std::array<MeterRange, 4> kSubFrequency{{
  {0, "99.999", "Hz"}, {1, "999.99", "Hz"}, {2, "9.9999", "KHz"}, {3, "99.999", "KHz"}}};

constexpr std::array<MeterFunction, 20> kBench{{
  {0,  "ACV",     kVolts},       {1,  "DCV",     kVolts},       {2,  "DCV+ACV", kVolts},
  {3,  "DCV",     kMillivolts},  {4,  "ACV",     kMillivolts},  {5,  "DCV+ACV", kMillivolts},
  {6,  "FRE",     kFrequency},   {7,  "DIO",     kDiode},       {8,  "OHM",     kOhms},
  {9,  "CON",     kContinuity},  {10, "CAP",     kCapacitance},
  {11, "DCA",     kMicroamps},   {12, "ACA",     kMicroamps},   {13, "DCA+ACA", kMicroamps},
  {14, "DCA",     kMilliamps},   {15, "ACA",     kMilliamps},   {16, "DCA+ACA", kMilliamps},
  {17, "DCA",     kAmps},        {18, "ACA",     kAmps},        {19, "ACA+DCA", kAmps},
}};

constexpr std::array<MeterFunction, 22> kCompact{{
  {0,  "ACV",     kVolts},       {1,  "dBm",     kDbm},         {2,  "DCV",     kVolts},
  {3,  "DCV+ACV", kVolts},       {4,  "DCV",     kMillivolts},  {5,  "ACV",     kMillivolts},
  {6,  "DCV+ACV", kMillivolts},  {7,  "FRE",     kFrequency},   {8,  "DUT",     kDuty},
  {9,  "DIO",     kDiode},       {10, "OHM",     kOhms},        {11, "CON",     kContinuity},
  {12, "CAP",     kCapacitance},
  {13, "DCA",     kMicroamps},   {14, "ACA",     kMicroamps},   {15, "DCA+ACA", kMicroamps},
  {16, "DCA",     kMilliamps},   {17, "ACA",     kMilliamps},   {18, "DCA+ACA", kMilliamps},
  {19, "DCA",     kAmps},        {20, "ACA",     kAmps},        {21, "ACA+DCA", kAmps},
}};

// Codes are meaningless here: the sub display's kind is a flag, not a code.
constexpr std::array<MeterFunction, 3> kBenchSub{{
  {0, "FRE", kSubFrequency}, {0, "dBm", kDbm}, {0, "DUT", kDuty}}};
// clang-format on

std::string folded(std::string_view text) {
  std::string out;
  for (const char c : text) {
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

void replace_all(std::string& text, std::string_view from, std::string_view to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// Units in one spelling: lower case, "ohm" as the sign and "µ" as "u".
std::string unit_key(std::string_view unit) {
  std::string key = folded(unit);
  replace_all(key, "ohm", "\u03A9");
  replace_all(key, "\u00B5", "u");
  return key;
}

}  // namespace

std::span<const MeterFunction> bench_functions() {
  return kBench;
}

std::span<const MeterFunction> compact_functions() {
  return kCompact;
}

std::span<const MeterFunction> bench_sub_functions() {
  return kBenchSub;
}

std::string function_names(std::span<const MeterFunction> functions,
                           std::string_view last_separator) {
  std::string names;
  for (std::size_t i = 0; i < functions.size(); ++i) {
    if (i > 0) names += i + 1 == functions.size() ? last_separator : ", ";
    names += functions[i].name;
  }
  return names;
}

std::optional<CatalogueHit> find_range(std::span<const MeterFunction> functions,
                                       std::string_view name, std::string_view range_text,
                                       std::string_view unit) {
  const std::string wanted_unit = unit_key(unit);
  for (const MeterFunction& f : functions) {
    if (folded(f.name) != folded(name)) continue;
    for (const MeterRange& r : f.ranges) {
      if (r.text == range_text && unit_key(r.unit) == wanted_unit) return CatalogueHit{&f, &r};
    }
  }
  return std::nullopt;
}

bool has_function(std::span<const MeterFunction> functions, std::string_view name) {
  for (const MeterFunction& f : functions) {
    if (folded(f.name) == folded(name)) return true;
  }
  return false;
}

int decimals_of(std::string_view range_text) {
  const auto point = range_text.find('.');
  return point == std::string_view::npos ? 0 : static_cast<int>(range_text.size() - point - 1);
}

}  // namespace tarvo::sim
