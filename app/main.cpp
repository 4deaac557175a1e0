// tarvo: the desktop program of the meter.
#include <QGuiApplication>
#include <QTimer>
#include <initializer_list>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "broker_status.h"
#include "command_line.h"
#include "demo_meter.h"
#include "file_commands.h"
#include "guarded_application.h"
#include "i18n/text_numbers.h"
#include "main_window.h"
#include "message_box.h"
#include "program.h"
#include "publish/broker_password.h"
#include "termination_signals.h"
#include "version.h"

namespace {

std::vector<std::string> program_arguments(const QStringList& arguments) {
  std::vector<std::string> args;
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  return args;
}

// The usage and the version need no display, so they are shown before the
// toolkit starts.
bool asks_for(int argc, char** argv, std::initializer_list<std::string_view> names) {
  for (int i = 1; i < argc; ++i) {
    for (const std::string_view name : names) {
      if (argv[i] == name) return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (asks_for(argc, argv, {"--help", "-h"})) {
    std::cout << tarvo::kProgramUsage;
    return 0;
  }
  if (asks_for(argc, argv, {"--version"})) {
    std::cout << "tarvo " << tarvo::kVersion << '\n';
    return 0;
  }
  tarvo::GuardedApplication app(argc, argv);  // takes the toolkit's own options out of argv
  QApplication::setApplicationName(QStringLiteral("Tarvo"));
  QApplication::setApplicationDisplayName(QStringLiteral("Tarvo"));
  // Lets the desktop match the window to tarvo.desktop and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("tarvo"));

  const tarvo::ParsedCommandLine parsed =
      tarvo::parse_command_line(program_arguments(QApplication::arguments()));
  if (!parsed.error.empty()) {
    std::cerr << "tarvo: " << parsed.error << "\n" << tarvo::kProgramUsage;
    return 2;
  }
  const tarvo::ProgramOptions& options = parsed.options;
  // The options are read: the arguments every user can list lose the password.
  for (int i = 1; i < argc; ++i) tarvo::mask_address_password(argv[i]);
  if (options.publish) {
    for (const std::string& warning : tarvo::password_warnings(*options.publish)) {
      std::cerr << "tarvo: warning: " << warning << '\n';
    }
  }

  std::unique_ptr<tarvo::DemoMeter> demo;
  std::vector<std::string> named = options.ports;
  if (options.demo) {
    try {
      demo = std::make_unique<tarvo::DemoMeter>(options.demo_family);
    } catch (const std::system_error& e) {
      std::cerr << "tarvo: cannot start the demo meter: " << e.what() << "\n";
      return 1;
    }
    named.insert(named.begin(), demo->device_path());
  }

  tarvo::Program program;
  program.set_named_ports(std::move(named));
  program.DebugEnabled = options.debug;
  program.language_for_run = options.language;
  program.settings().use_file(tarvo::default_settings_file());

  tarvo::TForm1 window(program);
  app.set_failure_handler([&window, &program](bool out_of_memory) {
    tarvo::show_message_box(&window, tarvo::MessageKind::Error,
                            program.state().text(out_of_memory ? tarvo::kTextCommandOutOfMemory
                                                               : tarvo::kTextCommandFailed));
  });
  QObject::connect(&window, &tarvo::TForm1::closed, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  window.use_keychain();
  std::unique_ptr<tarvo::WindowPublishing> publishing;
  if (options.publish) {
    window.publish_from_command_line();
    publishing = std::make_unique<tarvo::WindowPublishing>(window, *options.publish);
  }
  tarvo::close_on_termination_signals(window);
  window.show();
  // A session that a crash or a kill cut short is offered in a bar that holds
  // nothing up: an unattended restart with --start logs at once.
  QTimer::singleShot(0, &window, [&window, &options] {
    tarvo::offer_session_recovery(window, tarvo::dialog_env(&window));
    if (options.start) window.Btn_StartClick();
  });
  return QApplication::exec();
}
