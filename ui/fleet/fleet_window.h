// The fleet window: the folder diff of two folders of captures, read off the window's thread
// with progress and a way to stop; one row a device, coloured, sortable and filtered by status;
// a double click opens the route diff of a device's two captures; exports the HTML, JSON and
// CSV reports of kestrelon-cli diff on the folders.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>

#include "ui/fleet/fleet_export.h"
#include "ui/fleet/status_filter.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace kestrelon::ui::fleet {

class DeviceTableModel;
class FleetWorker;

class FleetWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Tells a failure: a headline and the detail naming the folder or file and the reason.
  using ErrorReporter = std::function<void(const QString& headline, const QString& detail)>;
  // Opens the route diff of one device's captures.
  using PairOpener = std::function<void(const QString& before, const QString& after)>;

  // Starts reading at once. The window closes itself when the folders cannot be paired.
  FleetWindow(const QString& beforeFolder, const QString& afterFolder, ErrorReporter reporter,
              PairOpener openPair, QWidget* parent = nullptr);
  ~FleetWindow() override;

  // Writes the report; false when it failed (reported) or there is none yet.
  bool ExportTo(FleetFormat format, const QString& path);
  // Opens the route diff of the device on the table's row (as shown); false when it lacks a side.
  bool OpenDevice(int row);
  // Starts the folder diff again (after a cancel, or on captures changed since).
  void Reread();
  void Cancel();

  bool busy() const;
  const DeviceTableModel& devices() const { return *model_; }
  const StatusFilter& shown() const { return *filter_; }
  QTableView* table() const { return table_; }

 Q_SIGNALS:
  // A reading or an export is over, whether it succeeded or not.
  void workDone();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void StartReading();
  void Finished(const QString& failure, bool cancelled);
  void SetBusy(const QString& what, bool cancellable);
  void ShowProgress();
  void ShowReport();
  void ShowCounts();
  void ChooseExport(FleetFormat format);
  void Report(const QString& headline, const QString& detail);

  QString beforeFolder_;
  QString afterFolder_;
  ErrorReporter reporter_;
  PairOpener openPair_;
  FleetWorker* worker_ = nullptr;
  bool closing_ = false;
  bool exporting_ = false;
  QString exportFailure_;
  QElapsedTimer started_;

  DeviceTableModel* model_ = nullptr;
  StatusFilter* filter_ = nullptr;
  QLabel* header_ = nullptr;
  QLabel* summary_ = nullptr;
  QLabel* shownCount_ = nullptr;
  std::array<QCheckBox*, kStatusCount> statuses_{};
  QTableView* table_ = nullptr;
  std::array<QPushButton*, 3> exports_{};
  QPushButton* reread_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QLabel* progressText_ = nullptr;
  QTimer* progressTimer_ = nullptr;
};

}  // namespace kestrelon::ui::fleet
