#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tarvo::cli {

// tarvo-cli chart IN OUT [--decimal-separator SEP]
// Reads the text log IN as File > Open does and saves the chart of its last
// page as Save As does for the extension of OUT: .jpg and .png the report
// picture (1910 x 1080), .bmp the chart at its design size (668 x 395). Draws
// offscreen unless QT_QPA_PLATFORM names a platform. Returns the exit status:
// 0 saved, 1 IN refused or OUT not written (the reason on err), 2 bad
// arguments or a tool built without the windows.
int run_chart(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tarvo::cli
