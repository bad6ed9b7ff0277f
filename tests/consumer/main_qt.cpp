// Built against an installed copy of the library and its Qt host.
#include <QApplication>
#include <QTimer>

#include "hosts/qt/qthost.h"
#include "kvrchart.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  kvr::InstallQtPlatformHooks();
  kvr::TScale axis(nullptr);
  axis.SetRange(0, 250);
  kvr::TQtHost host(&axis);
  host.resize(300, 60);
  host.show();
  QTimer::singleShot(0, &app, &QApplication::quit);
  app.exec();
  return axis.Surface() != nullptr && axis.Width() == 300 ? 0 : 1;
}
