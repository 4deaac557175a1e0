#pragma once

#include <string>

namespace tarvo {

// The two locale-dependent inputs of the decoders: the decimal mark written into
// every number and range text, and the ohm sign of the current language.
struct DecodeSettings {
  std::string DecimalSeparator = ".";
  std::string ohm_sign = "\u03A9";
};

}  // namespace tarvo
