#pragma once
// The program's QApplication: an exception that escapes an event handler (one that reaches core
// code without a guard of its own) is shown in a message box instead of ending the program.
#include <QApplication>

namespace terrak {

class GuardedApplication : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace terrak
