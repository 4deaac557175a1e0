#pragma once

#include <array>
#include <cstdint>

#include "link/acquisition.h"

namespace tarvo {

enum class Enabled : std::uint8_t { Keep, On, Off };

// The enabled state of the window's controls in each acquisition state. The
// Exit button and the menus of the second group (File, Save As, Languages,
// Exit) are never disabled, so the log can be saved and the language changed
// while the meter is read; opening a file and the interval setting cannot.
struct ControlStates {
  AcquisitionState state;
  Enabled start;      // Btn_Start
  Enabled stop;       // Btn_STOP
  Enabled reset;      // Btn_Reset
  Enabled exit;       // Btn_EXT
  Enabled idle_only;  // Help1, mmu_set, sys_set, MMU_Open
  Enabled always;     // File1, SAVE_AS, mmu_set_lan, Exit1
};

inline constexpr Enabled kOn = Enabled::On;
inline constexpr Enabled kOff = Enabled::Off;
inline constexpr Enabled kKeep = Enabled::Keep;

// clang-format off
inline constexpr std::array<ControlStates, 5> kControlStates{{
    // state                        Start  Stop   Reset  Exit   idle_only always
    {AcquisitionState::Idle,      kOn,   kOff,  kOff,  kOn,   kOn,      kOn},
    {AcquisitionState::Searching, kOff,  kOff,  kOff,  kOn,   kOff,     kKeep},
    {AcquisitionState::Acquiring, kOff,  kOn,   kOff,  kKeep, kOff,     kKeep},
    {AcquisitionState::NoMeter,   kOn,   kOff,  kOff,  kOn,   kOn,      kOn},
    {AcquisitionState::Stopped,   kOn,   kOff,  kOn,   kKeep, kOn,      kKeep},
}};
// clang-format on

constexpr const ControlStates& control_states(AcquisitionState state) {
  for (const ControlStates& row : kControlStates) {
    if (row.state == state) return row;
  }
  return kControlStates[0];
}

}  // namespace tarvo
