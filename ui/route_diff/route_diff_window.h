// The route diff window: reads two captures with the core's route diff off the window's
// thread, and shows the summary, the changes (filtered, sorted, coloured) and the details of
// one route; exports what it shows as the reports of kestrelon-cli diff.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <array>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "ui/route_diff/change_filter.h"
#include "ui/route_diff/diff_export.h"
#include "ui/route_diff/diff_run.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTextEdit;
class QProgressBar;
class QSplitter;
class QTableView;
class QTableWidget;
class QTimer;

namespace kestrelon::ui::route_diff {

class ChangeTableModel;

class RouteDiffWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Tells a failure: a headline and the detail naming the file and the reason.
  using ErrorReporter = std::function<void(const QString& headline, const QString& detail)>;

  // Starts reading at once. The window closes itself when a capture cannot be read.
  RouteDiffWindow(const QString& before, const QString& after, ErrorReporter reporter,
                  QWidget* parent = nullptr);
  ~RouteDiffWindow() override;

  // Writes what is shown (after the filters) to path; false when it failed (reported).
  bool ExportTo(ExportFormat format, const QString& path);
  // Puts the selected rows on the clipboard as tab-separated text.
  void CopySelection();

  bool busy() const { return worker_.joinable(); }
  ChangeTableModel& model() const { return *model_; }
  const ChangeFilter& filter() const { return filter_; }
  // The diff as read (of every VRF), once it has been.
  const DiffResult* result() const { return result_.get(); }

 Q_SIGNALS:
  // A reading or an export is over, whether it succeeded or not.
  void workDone();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void StartReading();
  // Runs work on the worker thread; then finished on the window's thread with its failure.
  void Launch(std::function<void()> work, std::function<void(std::exception_ptr)> finished);
  void ShowBusy(const QString& what);
  void ShowProgress();
  void ApplyResult(std::shared_ptr<const DiffResult> result);
  void Refilter();
  void ShowHeader();
  void FillSummaries();
  void ShowDetails();
  void ChooseExport(ExportFormat format);
  void Report(const QString& headline, const std::exception_ptr& failure);
  tables::RouteFields Ignored() const;

  QString before_;
  QString after_;
  ErrorReporter reporter_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  DiffProgress progress_;
  QElapsedTimer started_;
  QString statusText_;  // what the status bar says while the worker runs
  bool rereadPending_ = false;
  bool exporting_ = false;
  bool closing_ = false;
  std::shared_ptr<const DiffResult> result_;
  ChangeFilter filter_;

  ChangeTableModel* model_ = nullptr;
  QLabel* header_ = nullptr;
  QLabel* shownCount_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QTimer* progressTimer_ = nullptr;
  std::array<QCheckBox*, 3> kinds_{};
  QComboBox* vrfChoice_ = nullptr;
  QComboBox* protocolChoice_ = nullptr;
  QLineEdit* search_ = nullptr;
  std::array<QCheckBox*, tables::kRouteFieldCount> ignore_{};
  QTableWidget* vrfTable_ = nullptr;
  QTableWidget* protocolTable_ = nullptr;
  QSplitter* split_ = nullptr;
  QTableView* table_ = nullptr;
  QTextEdit* details_ = nullptr;
  std::array<QAction*, 3> exports_{};
  QAction* copy_ = nullptr;
  QAction* reread_ = nullptr;
};

}  // namespace kestrelon::ui::route_diff
