#include "demo_programme.h"

#include "scenario_parser.h"
#include "sim_family.h"

namespace tarvo::sim {

namespace {

constexpr std::string_view kBenchDemo = R"(# The bench meter on a few test points.
family bench
every 300ms

# A 3.3 V rail, drifting slowly, with a little noise.
DCV AUTO 5.0000 V 3.2980..3.3040 noise 0.0004 for 12s
# The probe moves to a 12 V rail: overload for a moment, then the meter ranges up.
DCV AUTO 5.0000 V OL for 600ms
DCV AUTO 50.000 V 12.046..12.051 noise 0.002 for 8s
# Line noise and a torn frame while the probes are moved.
junk 7
partial
# A resistor in a manual range, warming up a little; then the leads come off.
OHM MANU 5.0000 KΩ 4.6981..4.6975 noise 0.0002 for 8s
OHM MANU 5.0000 KΩ OL for 3s
# Mains, with its frequency on the sub display; then HOLD freezes it.
ACV AUTO 500.00 V 229.84..230.31 noise 0.06 sub FRE 99.999 Hz 49.998..50.004 noise 0.002 for 10s
ACV AUTO 500.00 V 230.12 HOLD sub FRE 99.999 Hz 50.001 for 4s
# Relative to the rail: the difference on the main display, the reference below.
DCV AUTO 5.0000 V 0.0000..0.0021 noise 0.0003 REL sub 3.3012 for 6s
# MAX and MIN of the rail.
DCV AUTO 5.0000 V 3.3010 noise 0.0004 MAX sub 3.3047 for 5s
DCV AUTO 5.0000 V 3.3004 noise 0.0004 MIN sub 3.2968 for 5s
silence 2s
)";

constexpr std::string_view kCompactDemo = R"(# The compact meter on the same test points.
family compact
every 300ms

DCV AUTO 5.0000 V 3.2980..3.3040 noise 0.0004 for 12s
DCV AUTO 5.0000 V OL for 600ms
DCV AUTO 50.000 V 12.046..12.051 noise 0.002 for 8s
junk 5
partial
OHM MANU 5.0000 KΩ 4.6981..4.6975 noise 0.0002 for 8s
OHM MANU 5.0000 KΩ OL for 3s
# No sub display here: mains, its frequency, its level and a duty cycle in turn.
ACV AUTO 500.00 V 229.84..230.31 noise 0.06 for 6s
ACV AUTO 500.00 V 230.12 HOLD for 4s
FRE AUTO 99.999 Hz 49.998..50.004 noise 0.002 for 5s
dBm AUTO 99.99 dBm -3.12..-2.96 noise 0.02 for 5s
DUT AUTO 99.99 % 49.95..50.05 noise 0.02 for 4s
DCV AUTO 5.0000 V 3.3010 noise 0.0004 MAX for 5s
DCV AUTO 5.0000 V 3.3004 noise 0.0004 MIN for 5s
silence 2s
)";

}  // namespace

std::string_view bench_demo_text() {
  return kBenchDemo;
}

std::string_view compact_demo_text() {
  return kCompactDemo;
}

std::string_view demo_scenario_text(MeterModel family) {
  return sim_family_of(family).demo;
}

Scenario demo_scenario(MeterModel family) {
  return parse_scenario(demo_scenario_text(family), family);
}

}  // namespace tarvo::sim
