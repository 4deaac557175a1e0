#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <vector>

#include "files/session_file.h"
#include "link/meter_state.h"

class QWidget;

namespace tarvo {

// "2026-12-09 14:03:27": a session's moments as the lists show them.
QString session_moment_text(const LocalTime& t);

// A session's state in the current language; "recording" while a run writes it.
QString session_state_text(const MeterState& s, const SessionSummary& summary, bool recording);

// File > Sessions: the kept sessions, newest first, with their start, count,
// last reading and state; the chosen one's path, nullopt when cancelled.
std::optional<std::filesystem::path> run_session_dialog(QWidget* parent, const MeterState& s,
                                                        const std::vector<SessionSummary>& list);

}  // namespace tarvo
