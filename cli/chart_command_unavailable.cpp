#include <ostream>

#include "chart_command.h"

namespace tarvo::cli {

// A tool built without the windows cannot draw the chart.
int run_chart(const std::vector<std::string>& /*args*/, std::ostream& /*out*/, std::ostream& err) {
  err << "tarvo-cli chart: this tarvo-cli was built without the Qt libraries (TARVO_GUI=OFF)\n";
  return 2;
}

}  // namespace tarvo::cli
