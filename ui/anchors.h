#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace tarvo {

// Which edges of its parent a control keeps its distance to when the parent
// changes size. Tied to both left and right it stretches; tied to the right
// only it moves; likewise top and bottom.
struct Anchors {
  bool left = true;
  bool top = true;
  bool right = false;
  bool bottom = false;
};

inline constexpr Anchors kAnchorTopLeft{};
inline constexpr Anchors kAnchorAll{true, true, true, true};
inline constexpr Anchors kAnchorTopRightBottom{false, true, true, true};
inline constexpr Anchors kAnchorLeftRightBottom{true, false, true, true};
inline constexpr Anchors kAnchorRightBottom{false, false, true, true};
inline constexpr Anchors kAnchorLeftBottom{true, false, false, true};

// Where a control designed at `design` in a parent of `design_parent` goes in
// a parent of `parent`. Sizes never go below zero.
QRect anchored_rect(const QRect& design, const QSize& design_parent, const QSize& parent,
                    Anchors anchors);

// Places the controls of one parent at their design places and keeps their
// anchors whenever the parent is resized.
class AnchoredPlacement : public QObject {
  Q_OBJECT

 public:
  AnchoredPlacement(QWidget* parent, QSize design_size);

  void add(QWidget* control, QRect design, Anchors anchors);
  // Gives a control another place at the design size (a caption that needs
  // more room); takes effect at the next place().
  void redesign(QWidget* control, QRect design);
  QRect design_of(const QWidget* control) const;
  // Puts every control where its anchors say for the parent's current size.
  void place();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // After every control has been placed for a new parent size.
  void placed();

 private:
  struct Entry {
    QWidget* control;
    QRect design;
    Anchors anchors;
  };
  QWidget* parent_;
  QSize design_size_;
  std::vector<Entry> entries_;
};

}  // namespace tarvo
