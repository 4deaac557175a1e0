// lower_panel_shots DIR [--scale 2]
//
// Decodes one frame of each of a few typical readings, shows it on the LCD
// replica and the analog readout side by side as they stand in the main
// window's lower panel, and saves the pictures into DIR as NAME.png, or
// NAME@2x.png at scale 2.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QStringList>
#include <cstdio>

#include "analog_readout.h"
#include "decode/meter_family.h"
#include "decode/rx_buffer.h"
#include "design_font.h"
#include "lcd_panel.h"
#include "scenario_parser.h"
#include "scenario_player.h"

namespace tarvo {
namespace {

struct Shot {
  const char* name;
  MeterModel family;
  const char* reading;  // a reading line of the simulated meter
};

constexpr Shot kShots[] = {
    {"dc-volts-with-frequency", MeterModel::ModelTarvo,
     "DCV AUTO 50.000 V -12.345 sub FRE 9.9999 KHz 0.0060"},
    {"manual-ohms-relative", MeterModel::ModelTarvo, "OHM MANU 5.0000 Mohm 1.2345 REL sub 3.3000"},
    {"max-min-current", MeterModel::ModelTarvo, "DCA AUTO 500.00 mA -12.34 MAXMIN sub -43.21"},
    {"overload", MeterModel::ModelTarvo, "ACV MANU 500.00 V OL"},
    {"compact-dbm", MeterModel::ModelNoxel, "dBm AUTO 99.99 dBm 4.77"},
};

// The meter's bytes for the reading, through the decoder the program uses.
CurrentReading decoded(const Shot& shot) {
  sim::ScenarioPlayer player(sim::parse_scenario(shot.reading, shot.family));
  RxBuffer rx;
  rx.append(player.next().bytes);
  CurrentReading reading;
  const DecodeSettings settings;
  const bool ok = family_of(shot.family)->decode(rx, reading, settings);
  if (!ok) std::fprintf(stderr, "lower_panel_shots: %s did not decode\n", shot.name);
  return reading;
}

// The part of Panel1 that holds the two views, with the window's mainno edit
// over the arc where the main window puts it.
class LowerPanel : public QWidget {
 public:
  LowerPanel() {
    setObjectName(QStringLiteral("Panel1"));
    setFixedSize(842, 150);
    lcd_ = new LcdPanel(this);
    readout_ = new AnalogReadout(this);
    readout_->move(512, 0);
    auto* mainno = new QLineEdit(this);
    mainno->setObjectName(QStringLiteral("mainno"));
    mainno->setFont(design_font("黑体", 16, true));
    mainno->setAlignment(Qt::AlignCenter);
    mainno->setGeometry(512 + 129, 106, 70, 27);
    readout_->set_mainno(mainno);
    lcd_->init_lcd_table();
  }

  void show_reading(const CurrentReading& reading) {
    lcd_->show_reading(reading, ".");
    readout_->show_reading(reading, ".");
  }

 private:
  LcdPanel* lcd_;
  AnalogReadout* readout_;
};

}  // namespace
}  // namespace tarvo

int main(int argc, char** argv) {
  const QStringList args = [&] {
    QStringList list;
    for (int k = 0; k < argc; ++k) list << QString::fromLocal8Bit(argv[k]);
    return list;
  }();
  const bool dense = args.size() == 4 && args[2] == "--scale" && args[3] == "2";
  if (args.size() != 2 && !dense) {
    std::fprintf(stderr, "usage: lower_panel_shots DIR [--scale 2]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (dense) qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  const QDir dir(args[1]);
  dir.mkpath(".");

  bool ok = true;
  for (const tarvo::Shot& shot : tarvo::kShots) {
    tarvo::LowerPanel panel;
    panel.show_reading(tarvo::decoded(shot));
    panel.show();
    const QString file =
        dir.filePath(QString::fromLatin1(shot.name) + (dense ? "@2x.png" : ".png"));
    if (!panel.grab().save(file)) {
      std::fprintf(stderr, "lower_panel_shots: cannot write %s\n", qPrintable(file));
      ok = false;
    }
  }
  return ok ? 0 : 1;
}
