#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <string_view>

#include "decode/current_reading.h"
#include "decode/meter_model.h"
#include "display/needle.h"
#include "not_live_veil.h"

class QLineEdit;

namespace tarvo {

// The analog scale with its needle, 330 x 150, meant for Panel1 at (512, 0);
// the widget is named IMG_BP. Every paint draws the scale picture of the
// current Readout and then the needle, so no old needle or other scale can
// survive on it. The main number goes to the main window's `mainno` edit when
// one is attached, and is always available as mainno_text().
class AnalogReadout : public QWidget {
  Q_OBJECT

 public:
  explicit AnalogReadout(QWidget* parent = nullptr);

  // The edit that shows the main number; not owned, may be null or go away.
  void set_mainno(QLineEdit* mainno);

  // A decoded reading of either family. A number or range text that does not
  // convert updates the text and leaves the needle where it was.
  void show_reading(const CurrentReading& reading, std::string_view decimal_separator);
  // Reset, given the family that was active before it: the needle goes, and
  // after the bench family the picture returns to the 20 arc.
  void reset(MeterModel previous);

  // While the meter is away: the scale, the needle and mainno are paled.
  void set_waiting(bool waiting);
  const NotLiveVeil* veil() const { return veil_; }

  const Readout& readout() const { return readout_; }
  QString mainno_text() const;

  QSize sizeHint() const override;

 signals:
  void mainno_changed(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void show_readout(const Readout& next);

  Readout readout_;
  QPointer<QLineEdit> mainno_;
  NotLiveVeil* veil_ = nullptr;
};

}  // namespace tarvo
