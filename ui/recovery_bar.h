#pragma once

#include <QFrame>
#include <filesystem>

class QLabel;
class QPushButton;

namespace tarvo {

// The offer to open a session that ended without a word (a crash, a kill, a
// power cut), as a bar over the top of the chart instead of a question: it
// never holds up a Start, and it stays until the user takes it or dismisses
// it. Open is usable when File > Open is, so a running acquisition is never
// replaced by the old log.
class RecoveryBar : public QFrame {
  Q_OBJECT

 public:
  RecoveryBar(QWidget* parent, const QString& text, const QString& open, const QString& dismiss,
              std::filesystem::path session);

  // The texts again, in another language.
  void set_texts(const QString& text, const QString& open, const QString& dismiss);

  const std::filesystem::path& session() const { return session_; }
  QLabel* label() const { return label_; }
  QPushButton* open_button() const { return open_; }
  QPushButton* dismiss_button() const { return dismiss_; }

 signals:
  void open_chosen(const std::filesystem::path& session);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fit_parent();

  std::filesystem::path session_;
  QLabel* label_;
  QPushButton* open_;
  QPushButton* dismiss_;
};

}  // namespace tarvo
