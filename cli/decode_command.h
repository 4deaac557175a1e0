#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tarvo::cli {

// tarvo-cli decode [--family bench|compact] [--decimal-separator SEP]
//                  [--language N] [CHUNK ...]
// Appends each chunk of hex bytes to the receive buffer, runs the family's
// decoder once and prints one JSON line; a decoded reading also gives what the
// LCD replica and the main readout show ("lcd" and "readout", see views_json.h).
// Chunks come from standard input, one per line, when none are given. Returns
// the exit status.
int run_decode(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err);

}  // namespace tarvo::cli
