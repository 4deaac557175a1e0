#include "status_bar.h"

#include <QLabel>

namespace tarvo {
namespace {

struct PanelDesign {
  int width;
  const char* text;
};

constexpr std::array<PanelDesign, PanelStatusBar::kPanels> kPanelDesign{{
    {100, "STOP"},
    {150, ""},
    {200, "Sampling"},
    {200, "2011/07/17 20:22:00"},
}};

}  // namespace

PanelStatusBar::PanelStatusBar(QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);
  for (int i = 0; i < kPanels; ++i) {
    auto* label = new QLabel(QString::fromUtf8(kPanelDesign[static_cast<std::size_t>(i)].text));
    label->setObjectName(QStringLiteral("StatusBar1_panel%1").arg(i));
    label->setFixedWidth(kPanelDesign[static_cast<std::size_t>(i)].width);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(2, 0, 2, 0);
    addWidget(label);
    panels_[static_cast<std::size_t>(i)] = label;
  }
  gate_ = new QLabel;
  gate_->setObjectName(QStringLiteral("StatusBar1_gate"));
  gate_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  gate_->setContentsMargins(2, 0, 2, 0);
  gate_->setMinimumWidth(0);
  gate_->setVisible(false);
  addWidget(gate_, 1);
}

void PanelStatusBar::set_gate_text(const QString& text) {
  gate_->setText(text);
  gate_->setToolTip(text);  // in full, should the room cut it
  gate_->setVisible(!text.isEmpty());
}

QString PanelStatusBar::gate_text() const {
  return gate_->text();
}

QString PanelStatusBar::panel_text(int panel) const {
  if (panel < 0 || panel >= kPanels) return {};
  return panels_[static_cast<std::size_t>(panel)]->text();
}

void PanelStatusBar::set_panel_text(int panel, const QString& text) {
  if (panel < 0 || panel >= kPanels) return;
  panels_[static_cast<std::size_t>(panel)]->setText(text);
}

QString PanelStatusBar::panel_tip(int panel) const {
  if (panel < 0 || panel >= kPanels) return {};
  return panels_[static_cast<std::size_t>(panel)]->toolTip();
}

void PanelStatusBar::set_panel_tip(int panel, const QString& tip) {
  if (panel < 0 || panel >= kPanels) return;
  panels_[static_cast<std::size_t>(panel)]->setToolTip(tip);
}

}  // namespace tarvo
