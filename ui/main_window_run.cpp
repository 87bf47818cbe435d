// The sort and the compare in the window: names from the boxes, busy and done colours, the
// compare's forced options, and failures told without losing the window.
#include <QCheckBox>
#include <QFile>
#include <QMessageBox>

#include "files/file_error.h"
#include "routes/route_compare.h"
#include "ui/core_names.h"
#include "ui/file_name_edit.h"
#include "ui/main_window.h"

namespace kestrelon::ui {
namespace {

std::string Local(const QString& name) {
  return CoreName(name);
}

QString FromLocal(const std::string& name) {
  return FromCoreName(name);
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

void frmKestrelon::SortSide(int Index) {
  QLineEdit* output = txtWriteFile[Index];
  const std::string org = Local(txtReadFile[Index]->text());
  const std::string tmp = Local(tag(Index));
  const std::string sorted = Local(output->text());
  ShowWriting(output);
  try {
    pipeline_.RunSort(Index, org, tmp, sorted, CurrentSortOptions());
  } catch (...) {
    txtWriteFile_Change(Index);
    throw;
  }
  txtWriteFile_Change(Index);
  output->repaint();
}

void frmKestrelon::cmdSort_Click(int Index) {
  if (Index != 1 && Index != 2) {
    return;
  }
  try {
    SortSide(Index);
  } catch (const std::exception& error) {
    ReportFailure(QStringLiteral("ソートを中止しました。"), error);
  }
}

void frmKestrelon::cmdDiff_Click() {
  const std::string strDiffFile = Local(txtDiffFile->text());
  ShowWriting(txtDiffFile);

  // Refuse names that would overwrite a file the compare reads before anything is written.
  routes::CompareRequest names;
  for (int side = 1; side <= 2; ++side) {
    names.inputs[side - 1] = Local(txtReadFile[side]->text());
    names.stagingFiles[side - 1] = Local(tag(side));
    names.sortResults[side - 1] = Local(txtWriteFile[side]->text());
  }
  names.diffFile = strDiffFile;
  try {
    routes::CheckCompareNames(names);
    routes::CheckInputsReadable(names);
  } catch (const std::exception& error) {
    txtDiffFile_Change();
    ReportFailure(QStringLiteral("比較を中止しました。"), error);
    return;
  }

  // Destination order with the time information removed, set through the ordinary handlers
  // so that EnableOpt holds 1 meanwhile and the user's value again afterwards.
  const routes::SortOptions saved = CurrentSortOptions();
  ApplySortOptions(saved.ForcedForCompare());
  const bool keepSortResults = chkFileDel->isChecked();
  const auto restore = [&] {
    ApplySortOptions(saved);
    txtWriteFile_Change(1);
    txtWriteFile_Change(2);
    txtDiffFile_Change();
  };
  int sortedSides = 0;
  try {
    SortSide(1);
    sortedSides = 1;
    SortSide(2);
    sortedSides = 2;
    routes::WriteDifferences(pipeline_, strDiffFile, pipeline_.strOrgFile(1),
                             pipeline_.strOrgFile(2));
    if (!keepSortResults) {
      routes::KillSortFile(pipeline_, 1);
      routes::KillSortFile(pipeline_, 2);
    }
  } catch (const std::exception& error) {
    // Sort results this compare wrote go as they would have; earlier files stay.
    for (int side = 1; !keepSortResults && side <= sortedSides; ++side) {
      QFile::remove(FromLocal(pipeline_.strSortFile(side)));
    }
    restore();
    ReportFailure(QStringLiteral("比較を中止しました。"), error);
    return;
  }
  restore();
  txtDiffFile->repaint();
}

void frmKestrelon::mFileSort_Click(int Index) {
  cmdSort_Click(Index);
}

void frmKestrelon::mFileDiff_Click() {
  cmdDiff_Click();
}

}  // namespace kestrelon::ui
