#include "sim_family.h"

#include <gtest/gtest.h>

#include <string>

#include "decode/meter_family.h"
#include "demo_programme.h"

namespace tarvo::sim {
namespace {

struct SimFamilyCase {
  MeterModel model;
  std::size_t functions;
  const char* sub_functions;  // as a message lists them
  bool has_relative;
  bool has_average;
};

const SimFamilyCase kSimFamilies[] = {
    {MeterModel::ModelTarvo, 20, "FRE, dBm or DUT", true, true},
    {MeterModel::ModelNoxel, 22, "", false, false},
};

TEST(SimFamilies, OneRowPerFamilyInTheFamiliesOrder) {
  const auto families = meter_families();
  ASSERT_EQ(sim_families().size(), families.size());
  for (std::size_t i = 0; i < families.size(); ++i) {
    EXPECT_EQ(sim_families()[i].model, families[i].model) << families[i].name;
  }
}

TEST(SimFamilies, EachRowAnswersForItsMeter) {
  ASSERT_EQ(std::size(kSimFamilies), sim_families().size());
  for (const SimFamilyCase& c : kSimFamilies) {
    const MeterFamily& family = *family_of(c.model);
    const SimFamily& sim = sim_family_of(c.model);
    SCOPED_TRACE(family.name);
    EXPECT_EQ(sim.functions.size(), c.functions);
    EXPECT_EQ(function_names(sim.sub_functions, " or "), c.sub_functions);
    EXPECT_EQ(sim.sub_functions.empty(), !family.has_sub_display);
    EXPECT_EQ(sim.has_relative, c.has_relative);
    EXPECT_EQ(sim.has_average, c.has_average);

    MeterDisplay display;
    display.family = c.model;
    const std::vector<std::uint8_t> frame = encode_frame(display);
    EXPECT_EQ(frame.size(), static_cast<std::size_t>(family.frame_size));
    EXPECT_TRUE(family.is_frame(frame));
    EXPECT_NE(demo_scenario_text(c.model).find("\nfamily " + std::string(family.name) + "\n"),
              std::string_view::npos);
  }
}

TEST(SimFamilies, NoFamilyPlaysAsTheBenchMeter) {
  EXPECT_EQ(sim_family_of(MeterModel::None).model, MeterModel::ModelTarvo);
  EXPECT_EQ(function_names(sim_family_of(MeterModel::None).sub_functions, ", "), "FRE, dBm, DUT");
}

}  // namespace
}  // namespace tarvo::sim
