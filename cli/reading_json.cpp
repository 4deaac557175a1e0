#include "reading_json.h"

namespace tarvo::cli {

nlohmann::ordered_json reading_json(bool decoded, const CurrentReading& r) {
  nlohmann::ordered_json j;
  j["decoded"] = decoded;
  j["Func_Name"] = r.Func_Name;
  j["Sub_Func_Name"] = r.Sub_Func_Name;
  j["Main_Range"] = r.Main_Range;
  j["Sub_range"] = r.Sub_range;
  j["Main_No"] = r.Main_No;
  j["Sub_No"] = r.Sub_No;
  j["is_Main_OL"] = r.is_Main_OL;
  j["is_Sub_OL"] = r.is_Sub_OL;
  j["is_HOLD"] = r.is_HOLD;
  j["is_AUTO"] = r.is_AUTO;
  j["is_REL"] = r.is_REL;
  j["is_Sub_dBm"] = r.is_Sub_dBm;
  j["is_Sub_FRE"] = r.is_Sub_FRE;
  j["is_Sub_DUT"] = r.is_Sub_DUT;
  j["Stat_Mode"] = r.Stat_Mode;
  return j;
}

void add_typed_keys(nlohmann::ordered_json& j, const DisplayValue& main) {
  using Json = nlohmann::ordered_json;
  j["value"] = main.value ? Json(*main.value) : Json(nullptr);
  j["unit"] = main.unit;
  j["base_value"] = main.base_value ? Json(*main.base_value) : Json(nullptr);
  j["base_unit"] = main.base_unit.empty() ? Json(nullptr) : Json(main.base_unit);
}

std::string json_line(const nlohmann::ordered_json& j) {
  return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace tarvo::cli
