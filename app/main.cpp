// Entry of the desktop program: answers --help and --version, picks the platform, opens the
// window and runs it.
#include <QApplication>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/batch_mode.h"
#include "app/info_options.h"
#include "app/qt_translations.h"
#include "app/route_diff_start.h"
#include "files/signal_cleanup.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  // Temporary files go when a termination signal ends the program; a file-size limit is an
  // ordinary write error.
  kestrelon::files::InstallSignalCleanup();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (const auto text = kestrelon::app::InfoOptionText(args)) {
    std::fputs(text->c_str(), stdout);
    return 0;
  }

  // Without a display the window system is Qt's offscreen one, so the program runs on servers.
  // (Windows and macOS always have their own window system.)
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
      std::getenv("QT_QPA_PLATFORM") == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
#endif
  // A batch run's output is its own messages; Qt's warnings about the desktop it runs on (no
  // runtime folder, no fonts configured) are noise there.
  if (argc > 1) {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
      if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
      }
    });
  }
  QApplication application(argc, argv);
  // Before the window exists, so every Qt text it shows is already Japanese.
  QTranslator qtJapanese;
  kestrelon::app::InstallQtJapanese(qtJapanese);
  kestrelon::ui::frmKestrelon window;

  // Names on the command line (after Qt took its own options) run one job and end the program.
  QStringList names = QCoreApplication::arguments();
  names.removeFirst();
  if (kestrelon::app::IsRouteDiffStart(names)) {
    return kestrelon::app::StartRouteDiff(window, names) ? QApplication::exec() : 2;
  }
  if (kestrelon::app::IsFolderDiffStart(names)) {
    return kestrelon::app::StartFolderDiff(window, names) ? QApplication::exec() : 2;
  }
  if (!names.isEmpty()) {
    return kestrelon::app::RunBatch(window, names);
  }
  window.show();
  return QApplication::exec();
}
