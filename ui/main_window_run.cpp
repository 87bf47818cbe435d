// The sort and the compare in the window: names from the boxes, busy and done colours, the
// compare's forced options shown through its hooks, and failures told without losing the window.
#include <QCheckBox>
#include <QFile>
#include <QMessageBox>

#include "files/file_error.h"
#include "routes/compare_run.h"
#include "ui/core_names.h"
#include "ui/file_name_edit.h"
#include "ui/main_window.h"

namespace kestrelon::ui {
namespace {

std::string Local(const QString& name) {
  return CoreName(name);
}

}  // namespace

void frmKestrelon::setErrorReporter(ErrorReporter reporter) {
  errorReporter_ = std::move(reporter);
}

void frmKestrelon::ReportFailure(const QString& headline, const std::exception& error) {
  const QString detail = QString::fromUtf8(error.what());
  if (errorReporter_) {
    errorReporter_(headline, detail);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, Caption(), headline + QStringLiteral("\n") + detail,
                  QMessageBox::Ok, this);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void frmKestrelon::SetInputName(int Index, const QString& name) {
  if (Index == 1 || Index == 2) {
    txtReadFile[Index]->setText(name);
  }
}

void frmKestrelon::cmdSort_Click(int Index) {
  if (Index != 1 && Index != 2) {
    return;
  }
  QLineEdit* output = txtWriteFile[Index];
  const std::string org = Local(txtReadFile[Index]->text());
  const std::string sorted = Local(output->text());
  ShowWriting(output);
  try {
    pipeline_.RunSort(Index, org, sorted, CurrentSortOptions());
  } catch (const std::exception& error) {
    txtWriteFile_Change(Index);
    ReportFailure(QStringLiteral("ソートを中止しました。"), error);
    return;
  }
  txtWriteFile_Change(Index);
  output->repaint();
}

// The options are forced and restored through the ordinary handlers, so the controls show them,
// but the settings file keeps the user's value throughout.
class frmKestrelon::CompareView : public routes::CompareHooks {
 public:
  explicit CompareView(frmKestrelon& window) : window_(window) {}

  void OptionsForced(const routes::SortOptions& forced) override {
    window_.optionsHeldForCompare_ = true;
    window_.ApplySortOptions(forced);
  }
  void SortStarting(int side) override { window_.ShowWriting(window_.txtWriteFile[side]); }
  void OptionsRestored(const routes::SortOptions& user) override {
    window_.ApplySortOptions(user);
    window_.optionsHeldForCompare_ = false;
  }

 private:
  frmKestrelon& window_;
};

void frmKestrelon::cmdDiff_Click() {
  routes::CompareRequest request;
  for (int side = 1; side <= 2; ++side) {
    request.inputs[side - 1] = Local(txtReadFile[side]->text());
    request.sortResults[side - 1] = Local(txtWriteFile[side]->text());
  }
  request.diffFile = Local(txtDiffFile->text());
  request.userOptions = CurrentSortOptions();
  request.keepSortResults = chkFileDel->isChecked();
  ShowWriting(txtDiffFile);
  CompareView view(*this);
  bool failed = false;
  try {
    routes::RunCompare(pipeline_, request, view);
  } catch (const std::exception& error) {
    failed = true;
    ReportFailure(QStringLiteral("比較を中止しました。"), error);
  }
  txtWriteFile_Change(1);
  txtWriteFile_Change(2);
  txtDiffFile_Change();
  if (!failed) {
    txtDiffFile->repaint();
  }
}

void frmKestrelon::mFileSort_Click(int Index) {
  cmdSort_Click(Index);
}

void frmKestrelon::mFileDiff_Click() {
  cmdDiff_Click();
}

}  // namespace kestrelon::ui
