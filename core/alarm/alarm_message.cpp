#include "alarm/alarm_message.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "alarm/alarm_command.h"

namespace tarvo {
namespace {

using Json = nlohmann::ordered_json;

// A number, or "OL"/"-OL" for an overload, which JSON has no number for.
Json number_or_overload(double value) {
  if (std::isinf(value)) return alarm_number(value);
  return value;
}

}  // namespace

std::string alarm_message(const AlarmEvent& e) {
  Json j;
  j["alarm"] = e.start ? "start" : "end";
  j["kind"] = e.kind;
  j["key"] = e.key;
  if (!std::isnan(e.value)) j["value"] = number_or_overload(e.value);
  j["unit"] = e.unit;
  j["limit"] = number_or_overload(e.limit);
  j[e.start ? "since" : "extreme_time"] = format_iso_offset(e.when);
  j["time"] = format_iso_offset(e.now);
  return j.dump();
}

std::vector<std::string> alarm_session_details(const AlarmEvent& e) {
  // A start names the limit, an end the extreme; a silence its length.
  const bool limit = e.start;
  const double number = limit ? e.limit : e.value;
  return {e.kind, alarm_number(number), e.unit, format_iso_offset(e.when)};
}

AlarmFacts alarm_facts(const AlarmEvent& e) {
  const std::string value = std::isnan(e.value) ? std::string() : alarm_number(e.value);
  return {e.start ? "start" : "end", e.kind, value, e.unit, alarm_number(e.limit),
          format_iso_offset(e.now)};
}

}  // namespace tarvo
