#include "interval_dialog.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "design_font.h"
#include "i18n/text_numbers.h"
#include "link/meter_state.h"
#include "window_placement.h"

namespace tarvo {
namespace {

QString compose(const QString& interval_word, int seconds, const QString& seconds_word) {
  return interval_word + QStringLiteral(" : ") + QString::number(seconds) + QLatin1Char(' ') +
         seconds_word;
}

QPushButton* make_button(QDialog& dialog, const char* name, const QRect& geometry) {
  // The design caption is the name; the texts of a language replace it on opening.
  auto* button = new QPushButton(QString::fromLatin1(name), &dialog);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

QString interval_text(const MeterState& s, int seconds) {
  return compose(QString::fromStdString(s.text(kTextRecordingInterval)), seconds,
                 QString::fromStdString(s.text(kTextSeconds)));
}

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("TForm3"));
  setModal(true);
  setFixedSize(547, 153);
  setFont(design_font("Tahoma", 11));

  lbl_Sampling_ = new QLabel(QStringLiteral("抽样比例"), this);
  lbl_Sampling_->setObjectName(QStringLiteral("lbl_Sampling"));
  lbl_Sampling_->setGeometry(24, 25, 441, 23);
  lbl_Sampling_->setFont(design_font("Tahoma", 16));

  trckbr_samp1_ = new QSlider(Qt::Horizontal, this);
  trckbr_samp1_->setObjectName(QStringLiteral("trckbr_samp1"));
  trckbr_samp1_->setGeometry(8, 54, 531, 45);
  trckbr_samp1_->setRange(kMinInterval, kMaxInterval);
  trckbr_samp1_->setValue(kMinInterval);
  trckbr_samp1_->setTickPosition(QSlider::TicksBelow);
  trckbr_samp1_->setTickInterval(1);
  trckbr_samp1_->setPageStep(10);
  connect(trckbr_samp1_, &QSlider::valueChanged, this, &TForm3::trckbr_samp1Change);

  // Enter presses OK; Escape and the close box reject the dialog as Cancel does.
  btn_OK_ = make_button(*this, "btn_OK", QRect(368, 120, 75, 25));
  btn_OK_->setDefault(true);
  connect(btn_OK_, &QPushButton::clicked, this, &QDialog::accept);
  btn_cancel_ = make_button(*this, "btn_cancel", QRect(456, 120, 75, 25));
  connect(btn_cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm3::FormShow(const MeterState& s) {
  interval_word_ = QString::fromStdString(s.text(kTextRecordingInterval));
  seconds_word_ = QString::fromStdString(s.text(kTextSeconds));
  // The slider keeps any stored value within its range.
  const auto stored = static_cast<int>(static_cast<std::int32_t>(s.RecordInterval));
  trckbr_samp1_->setValue(stored);
  trckbr_samp1Change(trckbr_samp1_->value());
  btn_OK_->setText(QString::fromStdString(s.text(kTextOk)));
  btn_cancel_->setText(QString::fromStdString(s.text(kTextCancel)));
}

int TForm3::position() const {
  return trckbr_samp1_->value();
}

void TForm3::showEvent(QShowEvent* event) {
  centre_on_screen(*this);
  QDialog::showEvent(event);
}

void TForm3::trckbr_samp1Change(int position) {
  lbl_Sampling_->setText(compose(interval_word_, position, seconds_word_));
}

std::optional<QString> run_interval_dialog(TForm3& dialog, MeterState& s) {
  dialog.FormShow(s);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  s.RecordInterval = dialog.position();
  return interval_text(s, dialog.position());
}

}  // namespace tarvo
