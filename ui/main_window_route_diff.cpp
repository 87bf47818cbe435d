// The main window's entry to the route diff: a second window on the two input files.
#include <QApplication>
#include <QLineEdit>

#include "ui/file_name_edit.h"
#include "ui/main_window.h"
#include "ui/route_diff/route_diff_window.h"

namespace kestrelon::ui {

void frmKestrelon::mRouteDiff_Click() {
  if (!mRouteDiff->isEnabled()) {
    return;  // as the compare: both boxes must name a file
  }
  OpenRouteDiff(txtReadFile[1]->text(), txtReadFile[2]->text());
}

void frmKestrelon::OpenRouteDiff(const QString& before, const QString& after) {
  auto* window = new route_diff::RouteDiffWindow(
      before, after,
      [this](const QString& headline, const QString& detail) {
        ReportFailure(headline, detail, QApplication::activeWindow());
      },
      this);
  window->show();
}

}  // namespace kestrelon::ui
