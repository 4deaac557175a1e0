#pragma once

#include <QObject>
#include <QString>

class QSoundEffect;
class QSystemTrayIcon;
class QWidget;

namespace tarvo {

// What a reading outside the limits sets off: a short sound (unless muted),
// and when the window is not the active one, a tray message or, without a
// tray, the window asking for attention in the task bar.
class Alarm : public QObject {
  Q_OBJECT

 public:
  explicit Alarm(QWidget* window);

  void set_muted(bool muted) { muted_ = muted; }
  bool muted() const { return muted_; }
  // The user acknowledged the excursion that lasts: no sound until it ends.
  void set_hushed(bool hushed) { hushed_ = hushed; }
  bool hushed() const { return hushed_; }
  // How many times it went off; a test's way to hear it.
  int rings() const { return rings_; }

  void ring(const QString& message);

 private:
  QWidget* window_;
  QSoundEffect* sound_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
  bool muted_ = false;
  bool hushed_ = false;
  int rings_ = 0;
};

}  // namespace tarvo
