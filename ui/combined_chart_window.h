#pragma once

#include <QDialog>
#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "combine/combined_series.h"
#include "link/meter_state.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tarvo {

// View > Combined chart: the sessions of meters recorded side by side (one
// group) on one time axis, each channel with a value axis of its own, and
// the channels the user's formulas compute from them. While one of the
// sessions is still being written the chart follows it. The files are read
// on a thread of the window's own; the chart is drawn on the UI thread.
class CombinedChartWindow : public QDialog {
  Q_OBJECT

 public:
  CombinedChartWindow(const MeterState& s, std::filesystem::path session_folder,
                      QWidget* parent = nullptr);
  ~CombinedChartWindow() override;

  void retranslate();
  // The groups found in the session folder, newest first.
  void find_groups();
  // Reads the chosen group's sessions again and draws them.
  void draw();

  QChart* chart() const;
  QComboBox* groups_box() const { return groups_box_; }
  QLineEdit* formulas() const { return formulas_; }
  QLabel* status() const { return status_; }
  // Whether a reading of the files is under way.
  bool busy() const { return busy_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void drawn(std::uint64_t generation, CombinedLines lines);
  void show_lines(const CombinedLines& lines);
  void follow();
  const SessionGroup* chosen() const;
  std::map<std::filesystem::path, std::uintmax_t> sizes_of(const SessionGroup& group) const;

  const MeterState& s_;
  const std::filesystem::path folder_;
  std::vector<SessionGroup> groups_;
  QLabel* group_label_ = nullptr;
  QComboBox* groups_box_ = nullptr;
  QLabel* formulas_label_ = nullptr;
  QLineEdit* formulas_ = nullptr;
  QPushButton* draw_button_ = nullptr;
  QChartView* view_ = nullptr;
  QLabel* status_ = nullptr;
  QTimer* follow_timer_ = nullptr;
  std::string error_;
  std::map<std::filesystem::path, std::uintmax_t> drawn_sizes_;
  bool busy_ = false;
  bool again_ = false;
  std::uint64_t generation_ = 0;
  std::thread reader_;
};

}  // namespace tarvo
