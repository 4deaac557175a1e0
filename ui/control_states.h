#pragma once

#include <array>
#include <cstdint>

#include "link/acquisition.h"

namespace tarvo {

enum class Enabled : std::uint8_t { Keep, On, Off };

// What the controls follow: the states of the acquisition, and a log opened
// from a file, which can then be emptied again.
enum class ControlEvent : std::uint8_t { Idle, Searching, Acquiring, NoMeter, Stopped, LogLoaded };

constexpr ControlEvent control_event(AcquisitionState state) {
  switch (state) {
    case AcquisitionState::Idle:
      return ControlEvent::Idle;
    case AcquisitionState::Searching:
      return ControlEvent::Searching;
    case AcquisitionState::Acquiring:
    case AcquisitionState::Waiting:  // Stop ends the wait as it ends the reading
      return ControlEvent::Acquiring;
    case AcquisitionState::NoMeter:
      return ControlEvent::NoMeter;
    case AcquisitionState::Stopped:
      return ControlEvent::Stopped;
  }
  return ControlEvent::Idle;
}

// The enabled state of the window's controls after each event, the only
// writer of those states. The
// Exit button and the menus of the second group (File, Save As, Languages,
// Exit) are never disabled, so the log can be saved and the language changed
// while the meter is read; opening a file and the interval setting cannot.
struct ControlStates {
  ControlEvent event;
  Enabled start;      // Btn_Start
  Enabled stop;       // Btn_STOP
  Enabled reset;      // Btn_Reset
  Enabled exit;       // Btn_EXT
  Enabled idle_only;  // mmu_set, sys_set, MMU_Open, MMU_Sessions
  Enabled always;     // File1, SAVE_AS, mmu_set_lan, Exit1, Help1
};

inline constexpr Enabled kOn = Enabled::On;
inline constexpr Enabled kOff = Enabled::Off;
inline constexpr Enabled kKeep = Enabled::Keep;

// clang-format off
inline constexpr std::array<ControlStates, 6> kControlStates{{
    // event                    Start  Stop   Reset  Exit   idle_only always
    {ControlEvent::Idle,      kOn,   kOff,  kOff,  kOn,   kOn,      kOn},
    {ControlEvent::Searching, kOff,  kOff,  kOff,  kOn,   kOff,     kKeep},
    {ControlEvent::Acquiring, kOff,  kOn,   kOff,  kKeep, kOff,     kKeep},
    {ControlEvent::NoMeter,   kOn,   kOff,  kOff,  kOn,   kOn,      kOn},
    {ControlEvent::Stopped,   kOn,   kOff,  kOn,   kKeep, kOn,      kKeep},
    {ControlEvent::LogLoaded, kKeep, kKeep, kOn,   kKeep, kKeep,    kKeep},
}};
// clang-format on

constexpr const ControlStates& control_states(ControlEvent event) {
  for (const ControlStates& row : kControlStates) {
    if (row.event == event) return row;
  }
  return kControlStates[0];
}

}  // namespace tarvo
