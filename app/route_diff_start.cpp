#include "app/route_diff_start.h"

#include <cstdio>

#include "ui/main_window.h"

namespace kestrelon::app {

bool IsRouteDiffStart(const QStringList& arguments) {
  return !arguments.isEmpty() && arguments.front() == QStringLiteral("--route-diff");
}

bool StartRouteDiff(ui::frmKestrelon& window, const QStringList& arguments) {
  if (arguments.size() != 3) {
    std::fputs("kestrelon: --route-diff needs two file names: BEFORE AFTER\n", stderr);
    return false;
  }
  window.SetInputName(1, arguments[1]);
  window.SetInputName(2, arguments[2]);
  window.show();
  window.OpenRouteDiff(arguments[1], arguments[2]);
  return true;
}

bool IsFolderDiffStart(const QStringList& arguments) {
  return !arguments.isEmpty() && arguments.front() == QStringLiteral("--folder-diff");
}

bool StartFolderDiff(ui::frmKestrelon& window, const QStringList& arguments) {
  if (arguments.size() != 3) {
    std::fputs("kestrelon: --folder-diff needs two folders: BEFORE_DIR AFTER_DIR\n", stderr);
    return false;
  }
  window.show();
  window.OpenFleet(arguments[1], arguments[2]);
  return true;
}

}  // namespace kestrelon::app
