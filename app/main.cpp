// Entry of the desktop program: answers --help and --version, picks the platform, opens the
// window and runs it.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/info_options.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (const auto text = kestrelon::app::InfoOptionText(args)) {
    std::fputs(text->c_str(), stdout);
    return 0;
  }

  // Without a display the window system is Qt's offscreen one, so the program runs on servers.
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QApplication application(argc, argv);
  kestrelon::ui::frmKestrelon window;

  // Batch mode hook: names on the command line (QCoreApplication::arguments() after Qt took
  // its own options) run one sort or one compare and end the program without waiting for the
  // user. Until it is wired, the window opens as with no names.

  window.show();
  return QApplication::exec();
}
