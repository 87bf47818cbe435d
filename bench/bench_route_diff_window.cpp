// kestrelon-bench-route-diff-window: how the route diff window keeps its event loop turning.
// 1. With a list of about 100,000 changes (100,000 routes, uptime counted, so every route
//    changed): the time to filter it (a search, a kind, clearing), sort it and scroll it page by
//    page with the view painted.
// 2. While it reads a pair of generated captures (1,000,000 routes each by default): the
//    longest gap between two turns of the event loop, from opening the window until the list
//    is filled (the gap in which the rows reach the list included). KESTRELON_BENCH_STALLS=1
//    prints each gap over 30 ms.
//   kestrelon-bench-route-diff-window [ROUTES] [LIST_ROUTES]     (QT_QPA_PLATFORM=offscreen)
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "bench/generate_capture.h"
#include "ui/route_diff/change_table_model.h"
#include "ui/route_diff/route_diff_window.h"

namespace {

using kestrelon::ui::route_diff::ChangeTableModel;
using kestrelon::ui::route_diff::RouteDiffWindow;

void WritePair(const QTemporaryDir& dir, std::int64_t routes) {
  for (const bool after : {false, true}) {
    kestrelon::bench::CaptureOptions options;
    options.seed = 7;
    options.routes = routes;
    options.after = after;
    QFile file(dir.filePath(after ? QStringLiteral("after.log") : QStringLiteral("before.log")));
    if (!file.open(QIODevice::WriteOnly)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
      std::exit(2);
    }
    kestrelon::bench::GenerateCapture(options, [&file](std::string_view chunk) {
      file.write(chunk.data(), static_cast<qint64>(chunk.size()));
    });
  }
}

// Runs the event loop until the window's work is done; the longest gap between two turns.
double LongestStall(RouteDiffWindow& window, double* total) {
  QElapsedTimer clock;
  clock.start();
  qint64 last = clock.nsecsElapsed();
  qint64 longest = 0;
  QTimer tick;
  tick.setInterval(1);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    if (std::getenv("KESTRELON_BENCH_STALLS") != nullptr && now - last > 30000000) {
      std::printf("  stall of %.1f ms ending at %.0f ms\n", static_cast<double>(now - last) / 1e6,
                  static_cast<double>(now) / 1e6);
    }
    longest = std::max(longest, now - last);
    last = now;
  });
  tick.start();
  QEventLoop loop;
  QObject::connect(&window, &RouteDiffWindow::workDone, &loop, &QEventLoop::quit);
  if (window.busy()) {
    loop.exec();
  }
  QCoreApplication::processEvents();  // the turn after the list was filled
  longest = std::max(longest, clock.nsecsElapsed() - last);
  *total = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  return static_cast<double>(longest) / 1e6;
}

double Millis(const std::function<void()>& step) {
  QElapsedTimer clock;
  clock.start();
  step();
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::int64_t routes = argc > 1 ? std::atoll(argv[1]) : 1000000;
  const std::int64_t listRoutes = argc > 2 ? std::atoll(argv[2]) : 100000;
  QApplication application(argc, argv);
  QTemporaryDir dir;

  WritePair(dir, listRoutes);
  RouteDiffWindow window(dir.filePath(QStringLiteral("before.log")),
                         dir.filePath(QStringLiteral("after.log")), nullptr);
  window.show();
  double total = 0;
  LongestStall(window, &total);
  window.findChild<QCheckBox*>(QStringLiteral("chkIgnore(uptime)"))->setChecked(false);
  const double stall = LongestStall(window, &total);
  const int rows = window.model().rowCount();
  std::printf("list of %d changes: read in %.0f ms, longest stall %.1f ms\n", rows, total, stall);
  auto* search = window.findChild<QLineEdit*>(QStringLiteral("txtSearch"));
  auto* kind = window.findChild<QCheckBox*>(QStringLiteral("chkKind(2)"));
  auto* table = window.findChild<QTableView*>(QStringLiteral("tblChanges"));
  const auto report = [&window](const char* what, const std::function<void()>& step) {
    const double ms = Millis(step);
    std::printf("  %-34s %7.1f ms  (%d shown)\n", what, ms, window.model().rowCount());
  };
  report("search 10.0.0.0/8 (routes inside)",
         [&] { search->setText(QStringLiteral("10.0.0.0/8")); });
  report("search text \"gi\"", [&] { search->setText(QStringLiteral("gi")); });
  report("clear the search", [&] { search->clear(); });
  report("hide the changed", [&] { kind->setChecked(false); });
  report("show them again", [&] { kind->setChecked(true); });
  report("sort by prefix",
         [&] { table->sortByColumn(ChangeTableModel::kPrefix, Qt::DescendingOrder); });
  report("sort by next hop after",
         [&] { table->sortByColumn(ChangeTableModel::kAfterHops, Qt::AscendingOrder); });
  QScrollBar* bar = table->verticalScrollBar();
  const int pages = 200;
  const double scroll = Millis([&] {
    for (int page = 0; page < pages; ++page) {
      bar->setValue(bar->maximum() / pages * page);
      table->viewport()->repaint();
    }
  });
  std::printf("  %-34s %7.2f ms a page (%d pages, painted)\n", "scroll", scroll / pages, pages);
  // The window's first paint (fonts, layout) is behind us now: what follows is the reading.
  WritePair(dir, routes);
  RouteDiffWindow large(dir.filePath(QStringLiteral("before.log")),
                        dir.filePath(QStringLiteral("after.log")), nullptr);
  large.show();
  const double readStall = LongestStall(large, &total);
  std::printf("read %lld + %lld routes: %.0f ms, %d changes; longest event-loop stall %.1f ms\n",
              static_cast<long long>(routes), static_cast<long long>(routes), total,
              large.model().rowCount(), readStall);

  return 0;
}
