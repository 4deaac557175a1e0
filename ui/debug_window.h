#pragma once

#include <QString>
#include <QWidget>

#include "link/debug_trace.h"

class QPlainTextEdit;
class QPoint;

namespace tarvo {

struct MeterState;

// The debug window: a plain text log of the serial traffic.
class TForm2 : public QWidget, public DebugTrace {
  Q_OBJECT

 public:
  // A day of one read a second with debug on must not fill the memory: the
  // memo keeps the newest lines only.
  static constexpr int kMemoLines = 100'000;

  explicit TForm2(QWidget* parent = nullptr);

  // Where the context menu takes its texts from, in the current language.
  void set_meter(const MeterState& s) { meter_ = &s; }

  // A line ending in "\r\n" leaves an empty line after it.
  void add_line(std::string line) override;
  void clear() override;
  // Shows the window beside the main window without taking the focus from it.
  void show_trace();
  // Where the window was when the program last ended: it opens there, not beside the main window.
  void set_kept_place(const QPoint& place);
  // The title in the current language.
  void retranslate();

  // Writes the memo to a UTF-8 text file; false when the file cannot be written.
  bool save_trace_to(const QString& path) const;

  QPlainTextEdit* memo() const { return mmo1_; }

 private:
  void show_memo_menu(const QPoint& position);
  void save_trace();

  QPlainTextEdit* mmo1_;
  const MeterState* meter_ = nullptr;
  bool place_kept_ = false;
};

}  // namespace tarvo
