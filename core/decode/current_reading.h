#pragma once

#include <string>

namespace tarvo {

// The decoded state of the newest valid frame. Only the frame decoders write it.
// Texts are UTF-8; numbers in them use the program's decimal separator.
struct CurrentReading {
  std::string Func_Name;      // "ACV", "DCV", ..., empty for an undefined code
  std::string Sub_Func_Name;  // "FRE", "dBm", "DUT", a copy of Func_Name, or empty
  std::string Main_Range;     // "ACV AUTO 5.0000 V"
  std::string Sub_range;      // "FRE 9.9999 KHz"; "  " when the sub display is off
  std::string Main_No;        // "0.4254", "-12.345", "OL", "-OL"
  std::string Sub_No;         // same form; empty when the sub display is off

  bool is_Main_OL = false;
  bool is_Sub_OL = false;
  bool is_HOLD = false;
  bool is_AUTO = false;
  bool is_REL = false;
  bool is_Sub_dBm = false;
  bool is_Sub_FRE = false;
  bool is_Sub_DUT = false;
  int Stat_Mode = 0;  // 0 none, 1 MAX, 2 MIN, 3 MAX-MIN, 4 AVG; 5-7 kept but light nothing

  // Every decode starts by emptying the six texts; flags keep their values
  // until a frame is decoded.
  void clear_texts() {
    Func_Name.clear();
    Sub_Func_Name.clear();
    Main_Range.clear();
    Sub_range.clear();
    Main_No.clear();
    Sub_No.clear();
  }
};

}  // namespace tarvo
