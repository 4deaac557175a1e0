#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>
#include <string_view>

#include "decode/current_reading.h"
#include "decode/meter_model.h"
#include "display/lcd_annunciators.h"
#include "not_live_veil.h"

class QLabel;

namespace tarvo {

// The replica of the meter's LCD, 508 x 150, meant for Panel1 at (0, 0). It
// paints the blank LCD and, over it, the lit legends cut from the all-lit
// picture, exactly those the current LcdView names; the digits are three
// labels, LBL_MAIN_NO, LBL_SUB_NO and LBL_Range. The widget itself is named
// IMG_LCD. The caller decides when a meter family is active: show_reading
// belongs after a reading of either family, init_lcd_table to the bench family.
class LcdPanel : public QWidget {
  Q_OBJECT

 public:
  explicit LcdPanel(QWidget* parent = nullptr);

  // Every legend lit, MEM and Wait... included; the labels keep their texts.
  void init_lcd_table();
  // The legends and digits of a decoded reading.
  void show_reading(const CurrentReading& reading, std::string_view decimal_separator);
  // Reset, given the family that was active before it: the bench family
  // relights every legend, any other leaves the panel as it is.
  void reset(MeterModel previous);

  // While the meter is away: the panel is veiled and text stands over it,
  // so the last value is not taken for a live one; false lifts the veil.
  void set_waiting(bool waiting, const QString& text);
  // The veil, once it has been needed; for tests.
  const NotLiveVeil* veil() const { return veil_; }

  const LcdView& view() const { return view_; }
  bool overlay_lit(int overlay) const;
  QLabel* label(LcdLabel which) const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void show_view(const LcdView& next);
  void load_pictures(qreal device_pixel_ratio);

  LcdView view_;
  std::array<QLabel*, 3> labels_{};  // in the order of kLcdLabelLayouts
  QPixmap blank_;
  std::array<QPixmap, kLcdOverlayCount> overlays_;  // cut from the lit picture
  qreal pictures_ratio_ = 0;
  NotLiveVeil* veil_ = nullptr;
};

}  // namespace tarvo
