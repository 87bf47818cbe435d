// The main window's entry to the folder diff: two folders asked for, then a fleet window.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include "ui/file_name_edit.h"
#include "ui/fleet/fleet_window.h"
#include "ui/main_window.h"

namespace kestrelon::ui {

void frmKestrelon::mFleetDiff_Click() {
  // From where file 1 lies, as the captures of one change usually sit side by side.
  const QString file1 = txtReadFile[1]->text();
  const QString start = file1.isEmpty() ? QString() : QFileInfo(file1).absolutePath();
  const QString before = QFileDialog::getExistingDirectory(
      this, QStringLiteral("変更前のキャプチャのフォルダを指定"), start);
  if (before.isEmpty()) {
    return;
  }
  const QString after = QFileDialog::getExistingDirectory(
      this, QStringLiteral("変更後のキャプチャのフォルダを指定"), QFileInfo(before).absolutePath());
  if (after.isEmpty()) {
    return;
  }
  OpenFleet(before, after);
}

void frmKestrelon::OpenFleet(const QString& beforeFolder, const QString& afterFolder) {
  auto* window = new fleet::FleetWindow(
      beforeFolder, afterFolder,
      [this](const QString& headline, const QString& detail) {
        ReportFailure(headline, detail, QApplication::activeWindow());
      },
      [this](const QString& before, const QString& after) { OpenRouteDiff(before, after); }, this);
  window->show();
}

}  // namespace kestrelon::ui
