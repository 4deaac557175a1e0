#include "decode/meter_family.h"

#include <gtest/gtest.h>

#include "decode_test_support.h"
#include "link/meter_probe.h"

namespace tarvo {
namespace {

using test::hex;

struct FamilyCase {
  MeterModel model;
  const char* name;
  const char* frame;
};

// One valid frame per family: each row must find its frame, size, decoder
// and name, and only its own.
const FamilyCase kFamilies[] = {
    {MeterModel::ModelTarvo, "bench", "A0 00 30 00 00 04 02 05 04 00 00 00 5B 00"},
    {MeterModel::ModelNoxel, "compact", "A0 00 10 00 04 02 05 04"},
};

TEST(MeterFamilies, EachRowKnowsItsFrames) {
  ASSERT_EQ(meter_families().size(), std::size(kFamilies));
  for (const FamilyCase& c : kFamilies) {
    const MeterFamily& family = *family_of(c.model);
    const std::vector<std::uint8_t> frame = hex(c.frame);
    EXPECT_EQ(family.name, c.name);
    EXPECT_EQ(family_named(c.name), c.model);
    EXPECT_EQ(static_cast<std::size_t>(family.frame_size), frame.size()) << c.name;
    EXPECT_TRUE(family.is_frame(frame)) << c.name;
    EXPECT_FALSE(family.is_frame(std::span(frame).first(frame.size() - 1))) << c.name;
    EXPECT_EQ(probe_bytes(frame), c.model) << c.name;
    RxBuffer rx;
    rx.append(frame);
    CurrentReading reading;
    EXPECT_TRUE(family.decode(rx, reading, {})) << c.name;
  }
  EXPECT_EQ(family_of(MeterModel::None), nullptr);
}

struct PanelCase {
  MeterModel model;
  bool has_sub_display;
  bool reset_relights_panel;
  std::size_t frame_shapes;  // range codes x function codes x sub modes x ranging
};

const PanelCase kPanels[] = {
    {MeterModel::ModelTarvo, true, true, 8 * 32 * 9 * 2},
    {MeterModel::ModelNoxel, false, false, 8 * 32 * 2},
};

TEST(MeterFamilies, EachRowTellsWhatThePanelAndTheGridAsk) {
  ASSERT_EQ(meter_families().size(), std::size(kPanels));
  for (const PanelCase& c : kPanels) {
    const MeterFamily& family = *family_of(c.model);
    SCOPED_TRACE(family.name);
    EXPECT_EQ(family.has_sub_display, c.has_sub_display);
    EXPECT_EQ(family.reset_relights_panel, c.reset_relights_panel);
    std::size_t shapes = 0;
    std::size_t decoded = 0;
    family.frame_shapes([&](std::span<const std::uint8_t> frame) {
      ++shapes;
      EXPECT_EQ(frame.size(), static_cast<std::size_t>(family.frame_size));
      RxBuffer rx;
      rx.append(frame);
      CurrentReading reading;
      if (family.decode(rx, reading, {})) ++decoded;
    });
    EXPECT_EQ(shapes, c.frame_shapes);
    EXPECT_GT(decoded, 0U);
  }
}

TEST(MeterFamilies, NamesAreExactAndTheErrorListsThem) {
  EXPECT_EQ(family_named("Bench"), std::nullopt);
  EXPECT_EQ(family_names(), "bench or compact");
  EXPECT_EQ(family_option_error("bench"), std::nullopt);
  EXPECT_EQ(family_option_error("tiny"), "--family must be bench or compact, not \"tiny\"");
}

}  // namespace
}  // namespace tarvo
