// kestrelon-bench-fleet-window: how the fleet window keeps its event loop turning while it
// reads two folders of generated captures (DEVICES routers of ROUTES routes each, every one
// changed a little): the time until the table is filled and the longest gap between two turns
// of the event loop meanwhile; then the time to sort the table and filter it by status.
//   kestrelon-bench-fleet-window [DEVICES] [ROUTES]     (QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/generate_capture.h"
#include "ui/fleet/device_table_model.h"
#include "ui/fleet/fleet_window.h"

namespace {

using kestrelon::ui::fleet::DeviceTableModel;
using kestrelon::ui::fleet::FleetWindow;

void WriteFleet(const QTemporaryDir& dir, int devices, std::int64_t routes) {
  for (const bool after : {false, true}) {
    const QString folder = dir.filePath(after ? QStringLiteral("after") : QStringLiteral("before"));
    QDir().mkpath(folder);
    for (int d = 0; d < devices; ++d) {
      kestrelon::bench::CaptureOptions options;
      options.seed = static_cast<std::uint64_t>(d) + 1;
      options.routes = routes;
      options.after = after;
      options.hostname = "R" + std::to_string(d);
      QFile file(folder + QStringLiteral("/R%1.log").arg(d));
      if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        std::exit(2);
      }
      kestrelon::bench::GenerateCapture(options, [&file](std::string_view chunk) {
        file.write(chunk.data(), static_cast<qint64>(chunk.size()));
      });
    }
  }
}

double Millis(const std::function<void()>& step) {
  QElapsedTimer clock;
  clock.start();
  step();
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
  const int devices = argc > 1 ? std::atoi(argv[1]) : 200;
  const std::int64_t routes = argc > 2 ? std::atoll(argv[2]) : 20000;
  QApplication application(argc, argv);
  QTemporaryDir dir;
  WriteFleet(dir, devices, routes);

  QElapsedTimer clock;
  clock.start();
  qint64 last = clock.nsecsElapsed();
  qint64 longest = 0;
  qint64 longestEnd = 0;
  QTimer tick;
  tick.setInterval(1);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    if (now - last > longest) {
      longest = now - last;
      longestEnd = now;
    }
    last = now;
  });
  // On the heap, as the main window makes it: the window deletes itself when it cannot read.
  auto* window = new FleetWindow(
      dir.filePath(QStringLiteral("before")), dir.filePath(QStringLiteral("after")),
      [](const QString& headline, const QString& detail) {
        std::fprintf(stderr, "%s %s\n", qPrintable(headline), qPrintable(detail));
        std::exit(2);
      },
      nullptr);
  window->show();
  tick.start();
  QEventLoop loop;
  QObject::connect(window, &FleetWindow::workDone, &loop, &QEventLoop::quit);
  if (window->busy()) {
    loop.exec();
  }
  QCoreApplication::processEvents();  // the turn after the table was filled
  longest = std::max(longest, clock.nsecsElapsed() - last);
  std::printf(
      "read %d devices of %lld routes: %.0f ms; longest event-loop stall %.1f ms (ending at %.0f "
      "ms)\n",
      window->devices().rowCount(), static_cast<long long>(routes),
      static_cast<double>(clock.nsecsElapsed()) / 1e6, static_cast<double>(longest) / 1e6,
      static_cast<double>(longestEnd) / 1e6);

  QTableView* table = window->table();
  std::printf("  sort by removed      %7.2f ms\n", Millis([&] {
                table->sortByColumn(DeviceTableModel::kRemoved, Qt::DescendingOrder);
              }));
  auto* changed = window->findChild<QCheckBox*>(QStringLiteral("chkStatus(changed)"));
  std::printf("  hide the changed     %7.2f ms\n", Millis([&] { changed->setChecked(false); }));
  std::printf("  show them again      %7.2f ms\n", Millis([&] { changed->setChecked(true); }));
  delete window;
  return 0;
}
