#include "publish/influx_line.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(InfluxLine, EscapesEachPartAsTheProtocolWants) {
  struct Case {
    const char* text;
    const char* measurement;
    const char* key;
    const char* string;
  };
  const Case cases[] = {
      {"plain", "plain", "plain", R"("plain")"},
      {"a b", R"(a\ b)", R"(a\ b)", R"("a b")"},
      {"a,b", R"(a\,b)", R"(a\,b)", R"("a,b")"},
      {"a=b", "a=b", R"(a\=b)", R"("a=b")"},
      {R"(say "hi")", R"(say\ "hi")", R"(say\ "hi")", R"("say \"hi\"")"},
      {R"(C:\dir)", R"(C:\dir)", R"(C:\dir)", R"("C:\\dir")"},
      {"two\nlines", R"(two\ lines)", R"(two\ lines)", R"("two lines")"},
      {"K\u03A9", "K\u03A9", "K\u03A9", "\"K\u03A9\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(influx_measurement(c.text), c.measurement);
    EXPECT_EQ(influx_key(c.text), c.key);
    EXPECT_EQ(influx_string(c.text), c.string);
  }
}

TEST(InfluxLine, TimesAreNanosecondsSinceTheEpochInUtc) {
  struct Case {
    LocalTime t;
    std::int64_t ns;
  };
  const Case cases[] = {
      {{1970, 1, 1, 0, 0, 0, 0, 0}, 0},
      {{1970, 1, 1, 1, 0, 0, 1, 60}, 1'000'000},  // 01:00 at +01:00 is midnight UTC
      {{2026, 12, 9, 14, 3, 27, 500, 60}, 1'796'821'407'500'000'000},
      {{2026, 12, 9, 8, 3, 27, 0, -300}, 1'796'821'407'000'000'000},
      {{1969, 12, 31, 23, 59, 59, 0, 0}, -1'000'000'000},
  };
  for (const Case& c : cases) EXPECT_EQ(unix_nanoseconds(c.t), c.ns);
}

OutgoingReading outgoing(const char* main_no, const char* main_range) {
  OutgoingReading r;
  r.record.Index = 12;
  r.record.Main_No.assign(main_no);
  r.record.Main_Range.assign(main_range);
  r.record.DateTime = LocalTime{2026, 12, 9, 14, 3, 27, 500, 60};
  r.record.Dated = true;
  r.family = MeterModel::ModelTarvo;
  r.port = 3;
  r.DecimalSeparator = ",";
  return r;
}

TEST(InfluxLine, AReadingIsOneLineWithItsTagsFieldsAndTime) {
  OutgoingReading r = outgoing("-12,345", "DCV AUTO 50,000 mV");
  r.record.Frames = {4, 4, -12.35, -12.34, -12.345};
  EXPECT_EQ(influx_line(r),
            "tarvo,family=bench,function=DCV,meter=COM3,unit=V "
            "index=12i,base_value=-0.012345,value=-12.345,display=\"-12,345\",shown_unit=\"mV\","
            "overload=false,frames=4i,frame_min=-12.35,frame_max=-12.34,frame_mean=-12.345 "
            "1796821407500000000");
  // A meter of a run of several: its letter is a tag, in the tags' order.
  EXPECT_EQ(influx_line(r, "B").substr(0, 56),
            "tarvo,family=bench,function=DCV,key=B,meter=COM3,unit=V ");
}

TEST(InfluxLine, WhatAReadingLacksIsLeftOut) {
  // An overload has no number, frames that showed none no extremes, a
  // reading without a family or port no such tags, an undated one no time.
  OutgoingReading r = outgoing("-OL", "OHM MANU 5,0000 M\u03A9");
  r.record.Frames = {3, 0, 0, 0, 0};
  r.family = MeterModel::None;
  r.port = 0;
  r.record.Dated = false;
  EXPECT_EQ(influx_line(r),
            "tarvo,function=OHM,unit=\u03A9 index=12i,display=\"-OL\",shown_unit=\"M\u03A9\","
            "overload=true,frames=3i");
  r = outgoing("1,0", "");
  EXPECT_EQ(
      influx_line(r),
      "tarvo,family=bench,meter=COM3 index=12i,value=1,display=\"1,0\",overload=false,frames=0i "
      "1796821407500000000");
}

}  // namespace
}  // namespace tarvo
