#include "ui/fleet/fleet_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/core_names.h"
#include "ui/fleet/device_table_model.h"
#include "ui/fleet/fleet_worker.h"

namespace kestrelon::ui::fleet {
namespace {

using report::DeviceStatus;

QString Number(std::size_t value) {
  return QLocale(QLocale::English).toString(static_cast<qulonglong>(value));
}

// The statuses in the order the filter shows them: what needs a look first.
constexpr std::array<DeviceStatus, kStatusCount> kStatusOrder = {
    DeviceStatus::kChanged, DeviceStatus::kMissingBefore, DeviceStatus::kMissingAfter,
    DeviceStatus::kUnreadable, DeviceStatus::kSame};

std::size_t CountOf(const report::FleetTotals& totals, DeviceStatus status) {
  switch (status) {
    case DeviceStatus::kSame:
      return totals.same;
    case DeviceStatus::kChanged:
      return totals.changed;
    case DeviceStatus::kMissingBefore:
      return totals.missingBefore;
    case DeviceStatus::kMissingAfter:
      return totals.missingAfter;
    case DeviceStatus::kUnreadable:
      break;
  }
  return totals.unreadable;
}

}  // namespace

FleetWindow::FleetWindow(const QString& beforeFolder, const QString& afterFolder,
                         ErrorReporter reporter, PairOpener openPair, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      beforeFolder_(beforeFolder),
      afterFolder_(afterFolder),
      reporter_(std::move(reporter)),
      openPair_(std::move(openPair)) {
  setObjectName(QStringLiteral("frmFleet"));
  setWindowTitle(QStringLiteral("フォルダの比較 - ") + QDir(beforeFolder).dirName() +
                 QStringLiteral(" → ") + QDir(afterFolder).dirName());
  setAttribute(Qt::WA_QuitOnClose, false);
  worker_ = new FleetWorker(this);
  connect(worker_, &FleetWorker::finished, this, &FleetWindow::Finished);
  BuildControls();
  resize(1240, 640);
  if (parent != nullptr) {
    // Below the main window where the screen has room, so both stay in view.
    const QRect main = parent->frameGeometry();
    const QScreen* screen = parent->screen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : QRect();
    QPoint at(main.left(), main.top() + 40);
    if (room.isValid() && at.x() + width() > room.right()) {
      at.setX(std::max(room.left(), room.right() - width()));
    }
    move(at);
  }
  StartReading();
}

// The worker is a child: deleting it first stops the run before the widgets it reports to go.
FleetWindow::~FleetWindow() {
  delete worker_;
}

bool FleetWindow::busy() const {
  return worker_->busy();
}

void FleetWindow::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  header_ = new QLabel(central);
  header_->setObjectName(QStringLiteral("lblHeader"));
  header_->setTextFormat(Qt::RichText);
  header_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  header_->setWordWrap(true);
  header_->setText(QStringLiteral("<b>変更前:</b> %1<br><b>変更後:</b> %2")
                       .arg(beforeFolder_.toHtmlEscaped(), afterFolder_.toHtmlEscaped()));
  layout->addWidget(header_);

  summary_ = new QLabel(central);
  summary_->setObjectName(QStringLiteral("lblSummary"));
  summary_->setTextFormat(Qt::RichText);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(summary_);

  model_ = new DeviceTableModel(this);
  filter_ = new StatusFilter(this);
  filter_->setSourceModel(model_);

  auto* filters = new QHBoxLayout;
  filters->addWidget(new QLabel(QStringLiteral("表示する状態:"), central));
  for (const DeviceStatus status : kStatusOrder) {
    auto* box = new QCheckBox(DeviceTableModel::StatusName(status), central);
    box->setObjectName(
        QStringLiteral("chkStatus(%1)").arg(QLatin1String(report::DeviceStatusName(status))));
    box->setChecked(true);
    // The status's colour beside its name: the filter is the table's legend too.
    box->setStyleSheet(QStringLiteral("QCheckBox { background: %1; padding: 2px 6px; }")
                           .arg(DeviceTableModel::StatusColour(status).name()));
    connect(box, &QCheckBox::toggled, this, [this, status](bool on) {
      filter_->SetShown(status, on);
      ShowCounts();
    });
    statuses_[static_cast<std::size_t>(status)] = box;
    filters->addWidget(box);
  }
  filters->addStretch(1);
  shownCount_ = new QLabel(central);
  shownCount_->setObjectName(QStringLiteral("lblShown"));
  filters->addWidget(shownCount_);
  layout->addLayout(filters);

  table_ = new QTableView(central);
  table_->setObjectName(QStringLiteral("tblDevices"));
  table_->setModel(filter_);
  table_->setSortingEnabled(true);
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setWordWrap(false);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setToolTip(QStringLiteral("行をダブルクリックすると、その装置の経路の差分を開きます。"));
  connect(table_, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { OpenDevice(index.row()); });
  layout->addWidget(table_, 1);

  auto* buttons = new QHBoxLayout;
  const char* const captions[] = {"HTML 形式で書き出す(&H)...", "JSON 形式で書き出す(&J)...",
                                  "CSV 形式で書き出す(&C)..."};
  const char* const names[] = {"cmdExportHtml", "cmdExportJson", "cmdExportCsv"};
  for (std::size_t f = 0; f < exports_.size(); ++f) {
    exports_[f] = new QPushButton(QString::fromUtf8(captions[f]), central);
    exports_[f]->setObjectName(QString::fromUtf8(names[f]));
    exports_[f]->setEnabled(false);
    connect(exports_[f], &QPushButton::clicked, this,
            [this, f] { ChooseExport(static_cast<FleetFormat>(f)); });
    buttons->addWidget(exports_[f]);
  }
  buttons->addStretch(1);
  reread_ = new QPushButton(QStringLiteral("読み直す(&R)"), central);
  reread_->setObjectName(QStringLiteral("cmdReread"));
  reread_->setShortcut(QKeySequence(Qt::Key_F5));
  connect(reread_, &QPushButton::clicked, this, &FleetWindow::Reread);
  buttons->addWidget(reread_);
  layout->addLayout(buttons);
  setCentralWidget(central);

  progressText_ = new QLabel(this);
  statusBar()->addWidget(progressText_, 1);
  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName(QStringLiteral("prgReading"));
  progressBar_->setMaximumWidth(260);
  statusBar()->addPermanentWidget(progressBar_);
  cancel_ = new QPushButton(QStringLiteral("中止"), this);
  cancel_->setObjectName(QStringLiteral("cmdCancel"));
  connect(cancel_, &QPushButton::clicked, this, &FleetWindow::Cancel);
  statusBar()->addPermanentWidget(cancel_);
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(100);
  connect(progressTimer_, &QTimer::timeout, this, &FleetWindow::ShowProgress);
}

void FleetWindow::StartReading() {
  kestrelon::fleet::FleetOptions options;
  options.beforeFolder = CoreName(beforeFolder_);
  options.afterFolder = CoreName(afterFolder_);
  SetBusy(QStringLiteral("読み込み中…"), true);
  worker_->Run(std::move(options));
}

void FleetWindow::Reread() {
  if (!busy()) {
    StartReading();
  }
}

void FleetWindow::Cancel() {
  if (busy() && !exporting_) {
    worker_->Cancel();
    progressText_->setText(QStringLiteral("中止しています…"));
  }
}

void FleetWindow::SetBusy(const QString& what, bool cancellable) {
  started_.start();
  progressText_->setText(what);
  progressBar_->setRange(0, 0);
  progressBar_->show();
  cancel_->setVisible(cancellable);
  for (QPushButton* button : exports_) {
    button->setEnabled(false);
  }
  reread_->setEnabled(false);
  progressTimer_->start();
}

void FleetWindow::ShowProgress() {
  const std::size_t total = worker_->total();
  if (exporting_ || total == 0) {
    return;  // until the first pair is done the bar just turns
  }
  const std::size_t done = worker_->done();
  progressBar_->setRange(0, static_cast<int>(total));
  progressBar_->setValue(static_cast<int>(std::min(done, total)));
  progressText_->setText(QStringLiteral("読み込み中… %1 ／ %2 組（%3 秒）")
                             .arg(Number(done), Number(total))
                             .arg(double(started_.elapsed()) / 1000.0, 0, 'f', 1));
}

void FleetWindow::Finished(const QString& failure, bool cancelled) {
  progressTimer_->stop();
  progressBar_->hide();
  cancel_->hide();
  reread_->setEnabled(true);
  const bool wasExport = exporting_;
  exporting_ = false;
  for (QPushButton* button : exports_) {
    button->setEnabled(worker_->fleet() != nullptr);
  }
  if (closing_) {
    deleteLater();
    return;
  }
  if (wasExport) {
    exportFailure_ = failure;
    progressText_->setText(failure.isEmpty() ? QStringLiteral("書き出しました。")
                                             : QStringLiteral("書き出しを中止しました。"));
    if (!failure.isEmpty()) {
      Report(QStringLiteral("書き出しを中止しました。"), failure);
    }
  } else if (cancelled) {
    progressText_->setText(QStringLiteral("中止しました。「読み直す」でもう一度読み込みます。"));
  } else if (!failure.isEmpty()) {
    progressText_->clear();
    Report(QStringLiteral("フォルダを比較できません。"), failure);
    if (worker_->fleet() == nullptr) {
      close();  // nothing to show; a report read before stays in view
    }
  } else {
    progressText_->setText(QStringLiteral("読み込みました（%1 秒）。")
                               .arg(double(started_.elapsed()) / 1000.0, 0, 'f', 1));
    ShowReport();
  }
  Q_EMIT workDone();
}

void FleetWindow::ShowReport() {
  model_->SetReport(worker_->fleet());
  const report::FleetReport& fleet = *worker_->fleet();
  header_->setText(QStringLiteral("<b>変更前:</b> %1<br><b>変更後:</b> %2<br>作成日時: %3")
                       .arg(beforeFolder_.toHtmlEscaped(), afterFolder_.toHtmlEscaped(),
                            QString::fromStdString(fleet.header.made)));
  const report::FleetTotals totals = fleet.Totals();
  for (const DeviceStatus status : kStatusOrder) {
    statuses_[static_cast<std::size_t>(status)]->setText(QStringLiteral("%1 (%2)").arg(
        DeviceTableModel::StatusName(status), Number(CountOf(totals, status))));
  }
  QString summary = QStringLiteral("<b>装置 %1 台:</b> ").arg(Number(totals.devices));
  QStringList parts;
  for (const DeviceStatus status : kStatusOrder) {
    parts.push_back(QStringLiteral("%1 %2").arg(DeviceTableModel::StatusName(status),
                                                Number(CountOf(totals, status))));
  }
  summary += parts.join(QStringLiteral("、"));
  summary += QStringLiteral(
                 "　<b>経路の変更:</b> <span style='color:#b00000'>削除 %1</span> ／ "
                 "<span style='color:#007000'>追加 %2</span> ／ "
                 "<span style='color:#a06000'>変更 %3</span>")
                 .arg(Number(totals.routes.removed), Number(totals.routes.added),
                      Number(totals.routes.changed));
  std::size_t notUnderstood = 0;
  for (const report::DeviceResult& device : fleet.devices) {
    notUnderstood += device.notUnderstoodBefore + device.notUnderstoodAfter;
  }
  if (notUnderstood > 0) {
    // The diff may miss routes printed on those lines.
    summary += QStringLiteral("　<span style='color:#b00000'><b>解釈できない行 %1 行</b></span>")
                   .arg(Number(notUnderstood));
  }
  summary_->setText(summary);
  // Each column as wide as its heading or its widest cell, with room to breathe; the reason
  // takes what is left.
  table_->resizeColumnsToContents();
  for (int c = 0; c < DeviceTableModel::kReason; ++c) {
    table_->setColumnWidth(c, table_->columnWidth(c) + 8);
  }
  ShowCounts();
}

void FleetWindow::ShowCounts() {
  shownCount_->setText(
      QStringLiteral("表示 %1 台 ／ 全 %2 台")
          .arg(Number(std::size_t(filter_->rowCount())), Number(std::size_t(model_->rowCount()))));
}

bool FleetWindow::OpenDevice(int row) {
  const QModelIndex index = filter_->mapToSource(filter_->index(row, 0));
  if (!index.isValid() || !openPair_) {
    return false;
  }
  const report::DeviceResult& device = model_->device(index.row());
  if (!device.beforeFile || !device.afterFile) {
    progressText_->setText(QStringLiteral("%1 は片方のフォルダにしかありません。")
                               .arg(QString::fromStdString(device.device)));
    return false;
  }
  openPair_(FromCoreName(*device.beforeFile), FromCoreName(*device.afterFile));
  return true;
}

void FleetWindow::ChooseExport(FleetFormat format) {
  const QString extension = QString::fromLatin1(FormatExtension(format));
  // Beside the two folders, named after the later one.
  const QFileInfo after(afterFolder_);
  const QString suggested =
      after.absoluteDir().filePath(after.fileName() + QStringLiteral(".fleetdiff.") + extension);
  const QString path =
      QFileDialog::getSaveFileName(this, QStringLiteral("書き出すファイル"), suggested,
                                   extension.toUpper() + QStringLiteral(" (*.") + extension +
                                       QStringLiteral(");;すべてのファイル (*)"));
  if (!path.isEmpty()) {
    ExportTo(format, path);
  }
}

bool FleetWindow::ExportTo(FleetFormat format, const QString& path) {
  if (worker_->fleet() == nullptr || busy()) {
    return false;
  }
  exporting_ = true;
  exportFailure_.clear();
  SetBusy(QStringLiteral("書き出し中… %1").arg(QFileInfo(path).fileName()), false);
  const std::string target = CoreName(path);
  worker_->Export(
      [format, target](const report::FleetReport& fleet) { ExportFleet(fleet, format, target); });
  // The caller learns the outcome: the window keeps turning its event loop meanwhile.
  const QPointer<FleetWindow> alive(this);
  QEventLoop wait;
  connect(this, &FleetWindow::workDone, &wait, &QEventLoop::quit);
  connect(this, &QObject::destroyed, &wait, &QEventLoop::quit);
  wait.exec();
  return alive != nullptr && exportFailure_.isEmpty();
}

void FleetWindow::Report(const QString& headline, const QString& detail) {
  if (reporter_) {
    reporter_(headline, detail);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, windowTitle(), headline + QStringLiteral("\n") + detail,
                  QMessageBox::Ok, this);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void FleetWindow::closeEvent(QCloseEvent* event) {
  // What runs is told to stop; the window goes now and is deleted once the worker is done.
  event->accept();
  if (busy()) {
    closing_ = true;
    worker_->Cancel();
  } else {
    deleteLater();
  }
}

}  // namespace kestrelon::ui::fleet
