// The sort and the compare in the window: names from the boxes, busy and done colours, the
// compare's forced options shown through its hooks, and failures told without losing the window.
// The work runs on a thread of its own while the window stays responsive.
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <exception>
#include <thread>
#include <utility>
#include <vector>

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

// Disables the window's commands and options and makes its boxes take no input while it lives;
// then puts back each one's state as it was.
class frmKestrelon::HeldCommands {
 public:
  explicit HeldCommands(frmKestrelon& w) {
    for (QPushButton* button :
         {w.cmdBrowseRead[1], w.cmdBrowseRead[2], w.cmdBrowseWrite[1], w.cmdBrowseWrite[2],
          w.cmdBrowseDiff, w.cmdSort[1], w.cmdSort[2], w.cmdDiff}) {
      Hold(button);
    }
    Hold(w.chkOption);
    Hold(w.chkFileDel);
    std::vector<QAction*> actions = {w.mFileOpen[1], w.mFileOpen[2], w.mEnd,
                                     w.mFileSort[1], w.mFileSort[2], w.mFileDiff,
                                     w.mOption,      w.mFileDel,     w.mRouteDiff};
    actions.insert(actions.end(), w.mSortKey.begin(), w.mSortKey.end());
    actions.insert(actions.end(), w.mInfoDel.begin(), w.mInfoDel.end());
    for (QAction* action : actions) {
      actions_.emplace_back(action, action->isEnabled());
      action->setEnabled(false);
    }
    // Read-only rather than disabled, so the boxes keep their colours.
    for (QLineEdit* box :
         {static_cast<QLineEdit*>(w.txtReadFile[1]), static_cast<QLineEdit*>(w.txtReadFile[2]),
          static_cast<QLineEdit*>(w.txtWriteFile[1]), static_cast<QLineEdit*>(w.txtWriteFile[2]),
          static_cast<QLineEdit*>(w.txtDiffFile), w.txtFileExt[1], w.txtFileExt[2],
          w.txtFileExt[3]}) {
      boxes_.emplace_back(box, box->isReadOnly());
      box->setReadOnly(true);
    }
  }
  ~HeldCommands() {
    for (const auto& [widget, enabled] : widgets_) {
      widget->setEnabled(enabled);
    }
    for (const auto& [action, enabled] : actions_) {
      action->setEnabled(enabled);
    }
    for (const auto& [box, readOnly] : boxes_) {
      box->setReadOnly(readOnly);
    }
  }
  HeldCommands(const HeldCommands&) = delete;
  HeldCommands& operator=(const HeldCommands&) = delete;

 private:
  void Hold(QWidget* widget) {
    widgets_.emplace_back(widget, widget->isEnabled());
    widget->setEnabled(false);
  }

  std::vector<std::pair<QWidget*, bool>> widgets_;
  std::vector<std::pair<QAction*, bool>> actions_;
  std::vector<std::pair<QLineEdit*, bool>> boxes_;
};

void frmKestrelon::RunHeld(const std::function<void()>& work) {
  running_ = true;
  std::exception_ptr failure;
  {
    const HeldCommands held(*this);
    QEventLoop loop;
    std::thread worker([&] {
      try {
        work();
      } catch (...) {
        failure = std::current_exception();
      }
      // Posted after everything the work posted, so the window has shown all of it.
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
  }
  running_ = false;
  if (closePending_) {
    closePending_ = false;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  }
  if (failure) {
    std::rethrow_exception(failure);
  }
}

void frmKestrelon::closeEvent(QCloseEvent* event) {
  if (running_) {
    closePending_ = true;
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void frmKestrelon::setErrorReporter(ErrorReporter reporter) {
  errorReporter_ = std::move(reporter);
}

void frmKestrelon::ReportFailure(const QString& headline, const std::exception& error) {
  ReportFailure(headline, QString::fromUtf8(error.what()), this);
}

void frmKestrelon::ReportFailure(const QString& headline, const QString& detail, QWidget* parent) {
  if (errorReporter_) {
    errorReporter_(headline, detail);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, Caption(), headline + QStringLiteral("\n") + detail,
                  QMessageBox::Ok, parent);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void frmKestrelon::SetInputName(int Index, const QString& name) {
  if (Index == 1 || Index == 2) {
    txtReadFile[Index]->setText(name);
  }
}

void frmKestrelon::cmdSort_Click(int Index) {
  if ((Index != 1 && Index != 2) || running_) {
    return;
  }
  QLineEdit* output = txtWriteFile[Index];
  const std::string org = Local(txtReadFile[Index]->text());
  const std::string sorted = Local(output->text());
  ShowWriting(output);
  const routes::SortOptions options = CurrentSortOptions();
  try {
    RunHeld([&] { pipeline_.RunSort(Index, org, sorted, options); });
  } catch (const std::exception& error) {
    txtWriteFile_Change(Index);
    ReportFailure(QStringLiteral("ソートを中止しました。"), error);
    return;
  }
  txtWriteFile_Change(Index);
  output->repaint();
}

// The options are forced and restored through the ordinary handlers, so the controls show them,
// but the settings file keeps the user's value throughout. The compare calls these on its own
// thread: each is posted to the window's, in order.
class frmKestrelon::CompareView : public routes::CompareHooks {
 public:
  explicit CompareView(frmKestrelon& window) : window_(window) {}

  void OptionsForced(const routes::SortOptions& forced) override {
    Post([w = &window_, forced] {
      w->optionsHeldForCompare_ = true;
      w->ApplySortOptions(forced);
    });
  }
  void SortStarting(int side) override {
    Post([w = &window_, side] { w->ShowWriting(w->txtWriteFile[side]); });
  }
  void OptionsRestored(const routes::SortOptions& user) override {
    Post([w = &window_, user] {
      w->ApplySortOptions(user);
      w->optionsHeldForCompare_ = false;
    });
  }

 private:
  template <typename Call>
  void Post(Call call) {
    QMetaObject::invokeMethod(&window_, std::move(call), Qt::QueuedConnection);
  }

  frmKestrelon& window_;
};

void frmKestrelon::cmdDiff_Click() {
  if (running_) {
    return;  // the commands are held; a call from code waits for no one
  }
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
    RunHeld([&] { routes::RunCompare(pipeline_, request, view); });
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
