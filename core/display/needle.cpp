#include "display/needle.h"

#include <cmath>

#include "decode/meter_family.h"
#include "display/rounding.h"
#include "log/range_fields.h"
#include "log/reading_value.h"

namespace tarvo {

namespace {

bool has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Words a meter may show instead of a number: overload-like words stand at an
// end of the arc, the others at zero.
bool is_end_word(std::string_view t) {
  return has(t, "OL") || has(t, "UL") || has(t, "HI") || t == "Pass" || t == "Open";
}

bool is_zero_word(std::string_view t) {
  return has(t, "LO") || t == "Short";
}

// These stand at zero too, but as the number 0, which still needs a range.
bool reads_as_zero(std::string_view t) {
  return t.empty() || t == "----" || t == "Fail";
}

// A lone "-" marks the negative end; "--" is part of a dashed word, not a sign.
bool is_negative_word(std::string_view t) {
  return has(t, "-") && !has(t, "--");
}

// Full scale at 53.5 degrees, with pi to seven decimals: a reading equal to its
// range then gives 9338, exactly where an overload stands.
constexpr double kAngleUnitsPerFullScale = 3.1415926 * 5350 / 18000 * 10000;

double radians(std::int64_t angle) {
  return static_cast<double>(angle) / kAngleUnitsPerRadian;
}

}  // namespace

std::string mainno_text(std::string_view main_no) {
  return main_no.empty() ? std::string("0") : std::string(main_no);
}

ArcScale arc_scale_for(std::string_view main_range) {
  const std::string_view range = split_main_range(main_range).range_text;
  if (range.empty()) return ArcScale::None;
  switch (range.front()) {
    case '1':
    case '9':
      return ArcScale::Ten;
    case '5':
      return ArcScale::Five;
    case '2':
      return has(main_range, "5") ? ArcScale::TwentyFive : ArcScale::Twenty;
    default:
      return ArcScale::None;
  }
}

std::optional<std::int64_t> needle_angle(std::string_view main_no, std::string_view main_range,
                                         std::string_view decimal_separator) {
  if (reads_as_zero(main_no)) main_no = "0";
  if (is_end_word(main_no)) {
    return is_negative_word(main_no) ? -kFullScaleAngle : kFullScaleAngle;
  }
  if (is_zero_word(main_no)) return 0;

  const std::optional<std::int64_t> value = scaled_decimal(main_no, decimal_separator);
  const std::optional<std::int64_t> range =
      scaled_decimal(split_main_range(main_range).range_text, decimal_separator);
  if (!value || !range || *range == 0) return std::nullopt;
  // |value / range| is at most 2^63, so the angle always fits.
  const double fraction = static_cast<double>(*value) / static_cast<double>(*range);
  return std::llround(fraction * kAngleUnitsPerFullScale);
}

PixelPoint needle_tip(std::int64_t angle) {
  const double a = radians(angle);
  return {kArcPivotX + round_half_up(kArcRadius * std::sin(a)),
          kArcPivotY - round_half_up(kArcRadius * std::cos(a))};
}

PixelPoint needle_foot(std::int64_t angle) {
  const double drop = kNeedleFootPivotY - kNeedleFootRow;
  return {round_half_up(drop * std::tan(radians(angle)) + kArcPivotX), kNeedleFootRow};
}

Readout update_readout(const CurrentReading& reading, std::string_view decimal_separator,
                       const Readout& previous) {
  Readout next = previous;
  next.mainno = mainno_text(reading.Main_No);
  const std::optional<std::int64_t> angle =
      needle_angle(next.mainno, reading.Main_Range, decimal_separator);
  if (!angle) return next;

  NeedleState& needle = next.needle;
  if (const ArcScale scale = arc_scale_for(reading.Main_Range); scale != ArcScale::None) {
    needle.arc = scale;
  }
  needle.angle = *angle;
  needle.tip = needle_tip(*angle);
  needle.foot = needle_foot(*angle);
  needle.drawn = true;
  return next;
}

Readout reset_readout(MeterModel model, const Readout& previous) {
  Readout next = previous;
  next.needle.drawn = false;
  const MeterFamily* family = family_of(model);
  if (family != nullptr && family->reset_relights_panel) next.needle.arc = ArcScale::Twenty;
  return next;
}

}  // namespace tarvo
