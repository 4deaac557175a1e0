#include "publish/reading_message.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

OutgoingReading outgoing(MeterModel family, const char* main_no, const char* main_range,
                         const char* sub_no, const char* sub_range, const char* separator) {
  OutgoingReading r;
  r.record.Index = 12;
  r.record.Main_No.assign(main_no);
  r.record.Main_Range.assign(main_range);
  r.record.Sub_No.assign(sub_no);
  r.record.Sub_range.assign(sub_range);
  r.record.Time.assign("14:03:27");
  r.record.DateTime = {2026, 12, 9, 14, 3, 27, 500, 60};
  r.record.Dated = true;
  r.family = family;
  r.DecimalSeparator = separator;
  return r;
}

TEST(ReadingMessage, HoldsTheKeysInTheirOrder) {
  EXPECT_EQ(reading_message(outgoing(MeterModel::ModelTarvo, "-12,345", "DCV AUTO 50,000 mV",
                                     "0,0060", "FRE 9,9999 KHz", ",")),
            R"({"index":12,"time":"2026-12-09T14:03:27+01:00","family":"bench",)"
            R"("function":"DCV","display":"-12,345","range":"DCV AUTO 50,000 mV",)"
            R"("value":-12.345,"unit":"mV","base_value":-0.012345,"base_unit":"V",)"
            R"("overload":false,"sub":{"function":"FRE","display":"0,0060",)"
            R"("range":"FRE 9,9999 KHz","value":0.006,"unit":"KHz","base_value":6.0,)"
            R"("base_unit":"Hz","overload":false}})");
}

TEST(ReadingMessage, AnOverloadHasNoNumberAndAnUndatedRecordNoTime) {
  OutgoingReading r =
      outgoing(MeterModel::ModelNoxel, "-OL", "OHM MANU 5.0000 M\u03A9", "", "", ".");
  r.record.Dated = false;
  EXPECT_EQ(reading_message(r),
            R"({"index":12,"time":null,"family":"compact","function":"OHM","display":"-OL",)"
            R"("range":"OHM MANU 5.0000 M)"
            "\u03A9"
            R"(","value":null,"unit":"M)"
            "\u03A9"
            R"(","base_value":null,"base_unit":")"
            "\u03A9"
            R"(","overload":true,"sub":null})");
}

}  // namespace
}  // namespace tarvo
