#include "display/status_panel.h"

namespace tarvo {

RunState run_state(AcquisitionState state) {
  switch (state) {
    case AcquisitionState::Searching:
      return RunState::Searching;
    case AcquisitionState::Acquiring:
      return RunState::Acquiring;
    case AcquisitionState::Waiting:
      return RunState::Waiting;
    case AcquisitionState::Idle:
    case AcquisitionState::NoMeter:
    case AcquisitionState::Stopped:
      break;
  }
  return RunState::Stopped;
}

std::string run_state_text(RunState state, const LanguageTable& table, std::int32_t base) {
  switch (state) {
    case RunState::Searching:
      return table.text(base, kTextSearchingMeter);
    case RunState::Acquiring:
      return table.text(base, kTextReadingMeter);
    case RunState::Waiting:
      return table.text(base, kTextWaitingShort);
    case RunState::Stopped:
      break;
  }
  return table.text(base, kTextIdle);
}

}  // namespace tarvo
