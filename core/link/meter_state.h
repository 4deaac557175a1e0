#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "decode/current_reading.h"
#include "decode/decode_settings.h"
#include "decode/meter_model.h"
#include "decode/rx_buffer.h"
#include "i18n/language_table.h"
#include "i18n/text_numbers.h"
#include "log/commit_listeners.h"
#include "log/frame_figures.h"
#include "log/local_time.h"
#include "log/reading_log.h"

namespace tarvo {

class CommitGate;

// The one owner of the program's acquisition state. The main window (or the
// command-line tool) creates one and passes it by reference to every operation.
struct MeterState {
  MeterModel model = MeterModel::None;
  std::int32_t ActivePort = 0;

  RxBuffer rx;
  IntervalFrames frames;  // every frame since the last committed reading
  CurrentReading reading;
  ReadingLog log;

  std::int64_t TickCount = 0;       // display ticks since the last committed reading
  std::int64_t RecordInterval = 1;  // ticks (seconds) between committed readings, 1 to 120
  LocalTime ReadingTime;            // taken at the start of each record step
  // Conditional recording: when set, the readings pass it on their way to
  // the log; not owned.
  CommitGate* gate = nullptr;
  // The meter came back after a loss: the next reading of it opens the log
  // again after a gap.
  bool GapPending = false;

  // Told of every committed reading, in the order of their stages.
  CommitListeners commit_listeners;

  LanguageTable languages;
  std::int32_t LanguageBase = 0;  // 1000 x the current language number

  // The decimal mark of every number the program shows and stores, taken once at start-up.
  std::string DecimalSeparator = ".";

  // The text with string number n in the current language.
  const std::string& text(int n) const { return languages.text(LanguageBase, n); }

  // What the decoders need from the locale and the current language.
  DecodeSettings decode_settings() const { return {DecimalSeparator, text(kTextOhmSign)}; }
};

}  // namespace tarvo
