#pragma once

#include <QStatusBar>
#include <QString>
#include <array>

class QLabel;

namespace tarvo {

// A status bar of four fixed panels, addressed by number from 0 as the window
// was designed: 0 whether the meter is read ("STOP" while not), 1 empty, 2 the
// recording interval, 3 the clock.
class PanelStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  static constexpr int kPanels = 4;
  static constexpr int kClockPanel = 3;
  static constexpr int kIntervalPanel = 2;
  static constexpr int kRunStatePanel = 0;
  static constexpr int kSidePanel = 1;  // what needs a word beside the run state

  explicit PanelStatusBar(QWidget* parent = nullptr);

  QString panel_text(int panel) const;
  void set_panel_text(int panel, const QString& text);
  void set_panel_tip(int panel, const QString& tip);
  QString panel_tip(int panel) const;
  // After the panels, in the room left: what conditional recording waits
  // for, or that it triggered. Empty hides it.
  void set_gate_text(const QString& text);
  QString gate_text() const;

 private:
  std::array<QLabel*, kPanels> panels_{};
  QLabel* gate_ = nullptr;
};

}  // namespace tarvo
