#pragma once

#include <QString>

namespace tarvo {

// The file whose presence beside the executable switches the debug window on.
inline constexpr char kDebugMarker[] = "debug.txt";

// True when programDir holds the marker file. An installed program's folder is
// not writable for users, so the program also takes a --debug option.
bool debug_flag_from_marker(const QString& programDir);

}  // namespace tarvo
