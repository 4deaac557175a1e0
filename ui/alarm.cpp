#include "alarm.h"

#include <QApplication>
#include <QSoundEffect>
#include <QSystemTrayIcon>
#include <QWidget>

namespace tarvo {

Alarm::Alarm(QWidget* window) : QObject(window), window_(window) {}

void Alarm::ring(const QString& message) {
  ++rings_;
  if (!muted_ && !hushed_) {
    // Made at the first alarm: most runs set no limits and need no audio device.
    if (sound_ == nullptr) {
      sound_ = new QSoundEffect(this);
      sound_->setSource(QUrl(QStringLiteral("qrc:/sounds/alarm.wav")));
      sound_->setVolume(0.8f);
    }
    sound_->play();
  }
  if (window_->isActiveWindow()) return;
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    if (tray_ == nullptr) {
      tray_ = new QSystemTrayIcon(window_->windowIcon(), this);
      tray_->show();
    }
    tray_->showMessage(QApplication::applicationDisplayName(), message, QSystemTrayIcon::Warning,
                       5000);
  } else {
    QApplication::alert(window_);
  }
}

}  // namespace tarvo
