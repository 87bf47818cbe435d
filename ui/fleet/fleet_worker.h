// The fleet window's work off its thread: the folder diff, then the exports of its report. One
// task at a time; finished() comes on the window's thread. Deleting the worker cancels what
// runs and waits for it.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <thread>

#include "fleet/fleet_run.h"
#include "report/fleet_report.h"

namespace kestrelon::ui::fleet {

class FleetWorker : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~FleetWorker() override;

  // Starts the folder diff; its report replaces the one held once it is done.
  void Run(kestrelon::fleet::FleetOptions options);
  // Starts write on the report held (an export).
  void Export(std::function<void(const report::FleetReport&)> write);
  // Asks the folder diff under way to stop between pairs; an export is let finish.
  void Cancel() { cancel_ = true; }

  bool busy() const { return thread_.joinable(); }
  std::size_t done() const { return done_.load(std::memory_order_relaxed); }
  std::size_t total() const { return total_.load(std::memory_order_relaxed); }
  const std::shared_ptr<const report::FleetReport>& fleet() const { return report_; }

 Q_SIGNALS:
  // The task is over: failure says why it failed, cancelled that it was called off.
  void finished(const QString& failure, bool cancelled);

 private:
  void Launch(std::function<void()> work);

  std::thread thread_;
  std::atomic<bool> cancel_{false};
  std::atomic<std::size_t> done_{0};
  std::atomic<std::size_t> total_{0};
  std::shared_ptr<const report::FleetReport> report_;
  std::shared_ptr<const report::FleetReport> made_;  // set by the thread, taken at the end
};

}  // namespace kestrelon::ui::fleet
