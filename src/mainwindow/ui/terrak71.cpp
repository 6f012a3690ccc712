// Program entry: sets the application title, creates the main window and runs the event loop.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Terrak 7.1");
  QMainWindow window;
  window.setWindowTitle("Terrak-7 Ocad utility");
  window.resize(500, 400);
  window.show();
  return QApplication::exec();
}
