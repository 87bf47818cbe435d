// Entry of the desktop program: picks the platform, opens the window and runs it.
#include <QApplication>
#include <cstdlib>

#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  // Without a display the window system is Qt's offscreen one, so the program runs on servers.
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QApplication application(argc, argv);
  kestrelon::ui::frmKestrelon window;
  window.show();
  return QApplication::exec();
}
