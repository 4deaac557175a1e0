#include "about_box.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "design_font.h"
#include "link/meter_state.h"

namespace tarvo {
namespace {

constexpr int kLabelPixels = 20;
// Below this the text stops being comfortable to read; a longer line is cut.
constexpr int kSmallestLabelPixels = 12;

}  // namespace

std::string about_text(const LanguageTable& table, std::int32_t base) {
  std::string text;
  for (int n = kTextAboutFirstLine; n <= kTextAboutLastLine; ++n) {
    const std::string& line = table.text(base, n);
    if (!line.empty()) text.append(line).append("\r\n");
  }
  return text;
}

TForm5::TForm5(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("TForm5"));
  setWindowTitle(QStringLiteral("About"));
  setModal(true);
  setFixedSize(334, 230);
  setFont(design_font("MS Sans Serif", 11));

  Label1_ = new QLabel(this);
  Label1_->setObjectName(QStringLiteral("Label1"));
  Label1_->setGeometry(11, 19, 315, 165);
  Label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1_->setTextFormat(Qt::PlainText);

  Button1_ = new QPushButton(this);
  Button1_->setObjectName(QStringLiteral("Button1"));
  Button1_->setGeometry(241, 190, 85, 31);
  Button1_->setDefault(true);
  Button1_->setFocus();
  connect(Button1_, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm5::FormShow(const MeterState& s) {
  // The label breaks lines at "\n"; the text keeps its CR LF pairs elsewhere.
  QString text = QString::fromStdString(about_text(s.languages, s.LanguageBase));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Label1_->setText(text);
  fit_label_font();
  setWindowTitle(QString::fromStdString(s.text(kTextAboutTitle)));
  Button1_->setText(QString::fromStdString(s.text(kTextOk)));
}

// Some languages have a line longer than the label at the design size; the
// font shrinks until the longest line fits rather than cutting it.
void TForm5::fit_label_font() {
  int pixels = kLabelPixels;
  QFont font = design_font("Arial", pixels);
  // The break after the last line adds no visible line.
  const QString text = Label1_->text().chopped(Label1_->text().endsWith('\n') ? 1 : 0);
  const auto too_big = [&] {
    const QRect needed = QFontMetrics(font).boundingRect(QRect(), 0, text);
    return needed.width() > Label1_->width() || needed.height() > Label1_->height();
  };
  while (pixels > kSmallestLabelPixels && too_big()) font.setPixelSize(--pixels);
  Label1_->setFont(font);
}

void show_about_box(TForm5& box, const MeterState& s) {
  box.FormShow(s);
  box.exec();
}

}  // namespace tarvo
