#include "shell/application.h"

#include <QApplication>
#include <QMainWindow>
#include <clocale>

namespace vireo {

int RunApplication(int argc, char** argv) {
  QApplication app(argc, argv);
  // QApplication adopts the user's locale; the controller protocol and the
  // data files need "." as the decimal point whatever the desktop language.
  std::setlocale(LC_NUMERIC, "C");
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Vireo(S) - Temperature Control Application"));
  window.resize(432, 239);
  window.show();
  return app.exec();
}

}  // namespace vireo
