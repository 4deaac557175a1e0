// The once-a-second cycle. A family's frame size and decoder come from the
// family table (decode/meter_family.h); the engine that runs the cycle is
// link/acquisition.h.
#include "link/polling_cycle.h"

#include <array>

#include "decode/meter_family.h"
#include "link/commit_gate.h"
#include "link/test_frame.h"

namespace tarvo {
namespace {

// The intermediate read stops this many ticks before each record step, so the
// record step sees a backlog of several seconds of frames.
constexpr std::int64_t kQuietTicks = 5;

std::int32_t frame_size(MeterModel model) {
  const MeterFamily* family = family_of(model);
  return family != nullptr ? family->frame_size : 0;
}

bool family_active(MeterModel model) {
  return model != MeterModel::None;
}

}  // namespace

bool poll_port(MeterState& s, PortReader& port, std::int32_t port_number) {
  std::array<std::uint8_t, kPollBlockSize> block;
  const std::int32_t n = port.read_available(port_number, block);
  const std::int32_t needed = frame_size(s.model);
  if (needed == 0 || n < needed) {
    if (n > 0) s.frames.drop_pending();
    return false;
  }
  const auto bytes = std::span(block).first(static_cast<std::size_t>(n));
  s.rx.append(bytes);
  s.frames.feed(*family_of(s.model), bytes, s.decode_settings());
  return true;
}

bool decode_frame(MeterState& s) {
  const MeterFamily* family = family_of(s.model);
  return family != nullptr && family->decode(s.rx, s.reading, s.decode_settings());
}

namespace {

void append_and_tell(MeterState& s, const CurrentReading& reading, const LocalTime& time,
                     const FrameFigures& frames, RecordMarks marks) {
  const std::int64_t n = s.log.append_reading(reading, time, frames, marks);
  s.commit_listeners.reading_committed(s.log[n]);
}

}  // namespace

void commit_reading(MeterState& s, ReadingViews* views, bool test_frame) {
  const RecordMarks marks{!test_frame && s.GapPending, test_frame};
  if (marks.after_gap) s.GapPending = false;
  if (s.gate != nullptr && !test_frame) {
    for (const PendingReading& p :
         s.gate->admit({s.reading, s.ReadingTime, s.frames.take(), marks})) {
      append_and_tell(s, p.reading, p.time, p.frames, p.marks);
    }
  } else {
    append_and_tell(s, s.reading, s.ReadingTime, s.frames.take(), marks);
  }
  if (views == nullptr || !family_active(s.model)) return;
  views->refresh_grid();
  views->update_chart(static_cast<std::int32_t>(s.log.count()), ChartDirection::Backward);
  views->update_lcd();
  views->update_readout();
}

void cycle_step(MeterState& s, PortReader& port, ReadingViews* views, const LocalClock& now) {
  ++s.TickCount;
  if (s.RecordInterval - s.TickCount > kQuietTicks && poll_port(s, port, s.ActivePort)) {
    decode_frame(s);
  }
  if (s.TickCount < s.RecordInterval) return;

  s.ReadingTime = now();
  if (!poll_port(s, port, s.ActivePort)) return;
  if (!decode_frame(s)) return;
  commit_reading(s, views);
  s.TickCount = 0;
}

bool inject_test_frame(MeterState& s, PortReader& port, ReadingViews* views, std::string_view text,
                       const LocalTime& now) {
  s.ReadingTime = now;
  poll_port(s, port, s.ActivePort);  // keeps the port drained; what it brought is replaced below
  const auto frame = parse_test_text(text);
  s.rx.assign(frame);
  if (!decode_frame(s)) return false;
  // The typed frame is its interval's only one.
  s.frames.clear();
  s.frames.feed(*family_of(s.model), frame, s.decode_settings());
  commit_reading(s, views, true);
  s.TickCount = 0;
  return true;
}

}  // namespace tarvo
