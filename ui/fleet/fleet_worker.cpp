#include "ui/fleet/fleet_worker.h"

#include <exception>
#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace kestrelon::ui::fleet {

FleetWorker::~FleetWorker() {
  cancel_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
}

void FleetWorker::Run(kestrelon::fleet::FleetOptions options) {
  done_ = 0;
  total_ = 0;
  Launch([this, options = std::move(options)] {
    made_ = std::make_shared<const report::FleetReport>(kestrelon::fleet::RunFleet(
        options,
        [this](std::size_t done, std::size_t total) {
          total_.store(total, std::memory_order_relaxed);
          done_.store(done, std::memory_order_relaxed);
        },
        cancel_));
  });
}

void FleetWorker::Export(std::function<void(const report::FleetReport&)> write) {
  Launch([this, write = std::move(write), held = report_] { write(*held); });
}

void FleetWorker::Launch(std::function<void()> work) {
  if (thread_.joinable()) {
    return;
  }
  cancel_ = false;
  thread_ = std::thread([this, work = std::move(work)] {
#if defined(__linux__)
    // A little below the window's thread, so it keeps answering on a busy machine; the job
    // pool's threads, started from here, inherit it.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
#endif
    QString failure;
    bool cancelled = false;
    try {
      work();
    } catch (const kestrelon::fleet::FleetCancelled&) {
      cancelled = true;
    } catch (const std::exception& error) {
      failure = QString::fromUtf8(error.what());
    } catch (...) {
      failure = QStringLiteral("unknown failure");
    }
    // On the worker's own thread; dropped with it if it is deleted meanwhile.
    QMetaObject::invokeMethod(
        this,
        [this, failure, cancelled] {
          thread_.join();
          if (made_ != nullptr) {
            report_ = std::move(made_);
            made_.reset();
          }
          Q_EMIT finished(failure, cancelled);
        },
        Qt::QueuedConnection);
  });
}

}  // namespace kestrelon::ui::fleet
