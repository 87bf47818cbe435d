#include "app/batch_mode.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "files/file_error.h"
#include "files/input_probe.h"
#include "names/batch_args.h"
#include "names/exit_codes.h"
#include "ui/core_names.h"
#include "ui/main_window.h"

namespace kestrelon::app {
namespace {

void PrintError(const std::string& message) {
  std::fprintf(stderr, "kestrelon: %s\n", message.c_str());
}

// Whether an input can be read; prints why not. Checked before anything is written, so a
// compare with a missing second input leaves no sort result of the first behind.
bool Readable(const std::string& name) {
  if (name.empty()) {
    PrintError("no input file name on the command line");
    return false;
  }
  try {
    files::EnsureReadable(name);
  } catch (const FileError& error) {
    PrintError(error.what());
    return false;
  }
  return true;
}

}  // namespace

int RunBatch(ui::frmKestrelon& window, const QStringList& arguments) {
  std::vector<std::string> args;
  for (const QString& argument : arguments) {
    args.push_back(ui::CoreName(argument));
  }
  const names::BatchNames batch = names::SplitBatchArguments(names::JoinArguments(args));

  bool failed = false;
  window.setErrorReporter([&failed](const QString&, const QString& detail) {
    failed = true;
    PrintError(detail.toStdString());
  });
  window.show();
  QCoreApplication::processEvents();

  const bool compare = !batch.second.empty();
  const bool ready = Readable(batch.first) && (!compare || Readable(batch.second));
  if (ready) {
    window.SetInputName(1, ui::FromCoreName(batch.first));
    QCoreApplication::processEvents();
    if (batch.secondGiven) {
      window.SetInputName(2, ui::FromCoreName(batch.second));
      QCoreApplication::processEvents();
    }
    if (compare) {
      window.cmdDiff_Click();
    } else {
      window.cmdSort_Click(1);
    }
  }
  window.mEnd_Click();
  return ready && !failed ? names::kSuccess : names::kTrouble;
}

}  // namespace kestrelon::app
