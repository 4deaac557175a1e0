#include "views_json.h"

#include <optional>

namespace tarvo::cli {

namespace {

nlohmann::ordered_json point_json(PixelPoint p) {
  return nlohmann::ordered_json::array({p.x, p.y});
}

}  // namespace

void PanelViews::show(const CurrentReading& reading, std::string_view decimal_separator) {
  lcd = update_lcd(reading, decimal_separator, lcd);
  readout = update_readout(reading, decimal_separator, readout);
}

nlohmann::ordered_json lcd_json(const LcdView& view) {
  nlohmann::ordered_json lit = nlohmann::ordered_json::array();
  for (std::size_t k = 0; k < kLcdOverlayCount; ++k) {
    if (view.lit.test(k)) lit.push_back(k);
  }
  nlohmann::ordered_json j;
  j["lit"] = std::move(lit);
  j["LBL_MAIN_NO"] = view.main_no.caption;
  j["LBL_SUB_NO"] = view.sub_no.caption;
  j["LBL_SUB_NO_visible"] = view.sub_no.visible;
  j["LBL_Range"] = view.range.visible ? nlohmann::ordered_json(view.range.caption) : nullptr;
  return j;
}

nlohmann::ordered_json readout_json(const Readout& readout, const CurrentReading& reading,
                                    std::string_view decimal_separator) {
  const std::optional<std::int64_t> angle =
      needle_angle(mainno_text(reading.Main_No), reading.Main_Range, decimal_separator);
  const NeedleState& needle = readout.needle;
  nlohmann::ordered_json j;
  j["mainno"] = readout.mainno;
  j["scale"] = static_cast<int>(arc_scale_for(reading.Main_Range));
  j["NeedleAngle"] = angle ? nlohmann::ordered_json(*angle) : nullptr;
  j["tip"] = needle.drawn ? point_json(needle.tip) : nullptr;
  j["foot"] = needle.drawn ? point_json(needle.foot) : nullptr;
  return j;
}

}  // namespace tarvo::cli
