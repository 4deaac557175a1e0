#include "anchors.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace tarvo {
namespace {

struct Span {
  int start;
  int length;
};

Span anchored_span(int start, int length, int growth, bool near, bool far) {
  if (near && far) return {start, std::max(length + growth, 0)};
  if (far) return {start + growth, length};
  if (!near) return {start + growth / 2, length};  // floats in the middle
  return {start, length};
}

}  // namespace

QRect anchored_rect(const QRect& design, const QSize& design_parent, const QSize& parent,
                    Anchors anchors) {
  const Span x = anchored_span(design.x(), design.width(), parent.width() - design_parent.width(),
                               anchors.left, anchors.right);
  const Span y =
      anchored_span(design.y(), design.height(), parent.height() - design_parent.height(),
                    anchors.top, anchors.bottom);
  return {x.start, y.start, x.length, y.length};
}

AnchoredPlacement::AnchoredPlacement(QWidget* parent, QSize design_size)
    : QObject(parent), parent_(parent), design_size_(design_size) {
  parent->installEventFilter(this);
}

void AnchoredPlacement::add(QWidget* control, QRect design, Anchors anchors) {
  entries_.push_back({control, design, anchors});
  control->setGeometry(anchored_rect(design, design_size_, parent_->size(), anchors));
}

void AnchoredPlacement::redesign(QWidget* control, QRect design) {
  for (Entry& e : entries_) {
    if (e.control == control) e.design = design;
  }
}

QRect AnchoredPlacement::design_of(const QWidget* control) const {
  for (const Entry& e : entries_) {
    if (e.control == control) return e.design;
  }
  return {};
}

void AnchoredPlacement::place() {
  for (const Entry& e : entries_) {
    e.control->setGeometry(anchored_rect(e.design, design_size_, parent_->size(), e.anchors));
  }
  emit placed();
}

bool AnchoredPlacement::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent_ && event->type() == QEvent::Resize) place();
  return QObject::eventFilter(watched, event);
}

}  // namespace tarvo
