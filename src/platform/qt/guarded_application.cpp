#include "platform/qt/guarded_application.h"

#include "platform/qt/error_guard.h"
#include "platform/qt/qt_user_dialogs.h"

namespace terrak {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  QtUserDialogs dialogs(activeWindow());
  RunReportingErrors(dialogs, [&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace terrak
