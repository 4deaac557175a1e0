#pragma once

#include <QApplication>
#include <functional>

namespace tarvo {

// The application object of the windows. An exception that a command, a
// timer or any other event handler lets out would end the program and lose
// the log; here it is caught where the event is delivered, the failure
// handler tells the user, and the program goes on.
class GuardedApplication : public QApplication {
 public:
  // out_of_memory: the failure was a failed allocation.
  using FailureHandler = std::function<void(bool out_of_memory)>;

  GuardedApplication(int& argc, char** argv);
  void set_failure_handler(FailureHandler handler) { handler_ = std::move(handler); }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void failed(bool out_of_memory);

  FailureHandler handler_;
  bool reporting_ = false;
};

}  // namespace tarvo
