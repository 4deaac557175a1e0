#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

class QLabel;
class QPushButton;
class QSlider;

namespace tarvo {

struct MeterState;

// "Recording interval : 5 Seconds" in the current language.
QString interval_text(const MeterState& s, int seconds);

// The recording-interval dialog: a slider from 1 to 120 seconds, OK and Cancel.
class TForm3 : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMinInterval = 1;
  static constexpr int kMaxInterval = 120;

  explicit TForm3(QWidget* parent = nullptr);

  // Puts the slider at the stored interval and takes the texts of the current
  // language; called each time before the dialog opens.
  void FormShow(const MeterState& s);

  int position() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void trckbr_samp1Change(int position);

  QLabel* lbl_Sampling_;
  QSlider* trckbr_samp1_;
  QPushButton* btn_OK_;
  QPushButton* btn_cancel_;
  QString interval_word_;
  QString seconds_word_;
};

// sys_setClick: shows the dialog modally. On OK the slider's value becomes the
// recording interval and the text for status-bar panel 2 is returned; Cancel,
// Escape and the close box store nothing and return no text.
std::optional<QString> run_interval_dialog(TForm3& dialog, MeterState& s);

}  // namespace tarvo
