#include "display/status_panel.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(StatusPanel, SaysStopOnlyWhileNothingRuns) {
  LanguageTable table;
  struct Case {
    AcquisitionState state;
    const char* english;
    const char* german;
  };
  const Case cases[] = {
      {AcquisitionState::Idle, "STOP", "STOPP"},
      {AcquisitionState::Searching, "Searching...", "Suche..."},
      {AcquisitionState::Acquiring, "Reading", "Messung"},
      {AcquisitionState::NoMeter, "STOP", "STOPP"},
      {AcquisitionState::Stopped, "STOP", "STOPP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.english);
    EXPECT_EQ(run_state_text(run_state(c.state), table, LanguageTable::kEnglish), c.english);
    EXPECT_EQ(run_state_text(run_state(c.state), table, LanguageTable::kGerman), c.german);
  }
}

}  // namespace
}  // namespace tarvo
