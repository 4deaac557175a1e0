#include "publish/reading_message.h"

#include <nlohmann/json.hpp>

#include "decode/meter_family.h"
#include "log/typed_reading.h"

namespace tarvo {
namespace {

using Json = nlohmann::ordered_json;

Json optional_number(const std::optional<double>& value) {
  return value ? Json(*value) : Json(nullptr);
}

void add_display(Json& j, const DisplayValue& v, std::string_view display, std::string_view range) {
  j["function"] = v.function;
  j["display"] = std::string(display);
  j["range"] = std::string(range);
  j["value"] = optional_number(v.value);
  j["unit"] = v.unit;
  j["base_value"] = optional_number(v.base_value);
  j["base_unit"] = v.base_unit.empty() ? Json(nullptr) : Json(v.base_unit);
  j["overload"] = v.overload;
}

}  // namespace

std::string reading_message(const OutgoingReading& reading) {
  const real_Record& r = reading.record;
  const TypedReading typed = typed_reading(r, reading.DecimalSeparator);
  const MeterFamily* family = family_of(reading.family);

  Json j;
  j["index"] = r.Index;
  j["time"] = r.Dated ? Json(format_iso_offset(r.DateTime)) : Json(nullptr);
  j["family"] = family != nullptr ? Json(std::string(family->name)) : Json(nullptr);
  add_display(j, typed.main, r.Main_No.view(), r.Main_Range.view());
  if (typed.sub) {
    Json sub;
    add_display(sub, *typed.sub, r.Sub_No.view(), r.Sub_range.view());
    j["sub"] = sub;
  } else {
    j["sub"] = nullptr;
  }
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace tarvo
