// Sort and filter options of frmKestrelon: the two check boxes, their menu mirrors, the sort-key
// and filter menus.
#include <QAction>
#include <QCheckBox>
#include <QMenu>

#include "ui/main_window.h"

namespace kestrelon::ui {

namespace {

// A check box's state as the settings file stores it.
QString StateText(const QCheckBox* box) {
  return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

void frmKestrelon::chkOption_Click() {
  mOption->setChecked(chkOption->isChecked());
  mOptConfig->menuAction()->setEnabled(mOption->isChecked());
  if (!optionsHeldForCompare_) {
    WriteSetting("EnableOpt", StateText(chkOption));
  }
}

void frmKestrelon::chkFileDel_Click() {
  mFileDel->setChecked(chkFileDel->isChecked());
  WriteSetting("StoreSort", StateText(chkFileDel));
}

void frmKestrelon::mOption_Click() {
  chkOption->setChecked(!chkOption->isChecked());
  WriteSetting("EnableOpt", StateText(chkOption));
}

void frmKestrelon::mFileDel_Click() {
  chkFileDel->setChecked(!chkFileDel->isChecked());
  WriteSetting("StoreSort", StateText(chkFileDel));
}

// Exactly one sort key is checked.
void frmKestrelon::mSortKey_Click(int Index) {
  if (Index < 0 || Index > 5) {
    return;
  }
  for (QAction* item : mSortKey) {
    item->setChecked(false);
  }
  mSortKey[Index]->setChecked(true);
}

// Items 0, 4 and 5 stand alone; items 1 to 3 combine, and with none of them left item 0 returns.
void frmKestrelon::mInfoDel_Click(int Index) {
  if (Index == 0 || Index == 4 || Index == 5) {
    for (QAction* item : mInfoDel) {
      item->setChecked(false);
    }
    mInfoDel[Index]->setChecked(true);
  } else if (Index >= 1 && Index <= 3) {
    for (int k : {0, 4, 5}) {
      mInfoDel[k]->setChecked(false);
    }
    mInfoDel[Index]->setChecked(!mInfoDel[Index]->isChecked());
    if (!mInfoDel[1]->isChecked() && !mInfoDel[2]->isChecked() && !mInfoDel[3]->isChecked()) {
      mInfoDel[0]->setChecked(true);
    }
  }
}

routes::SortOptions frmKestrelon::CurrentSortOptions() const {
  routes::SortOptions options;
  options.followOptions = chkOption->isChecked();
  for (int k = 0; k < 6; ++k) {
    options.sortKey[k] = mSortKey[k]->isChecked();
    options.infoDel[k] = mInfoDel[k]->isChecked();
  }
  return options;
}

void frmKestrelon::SetFollowOptions(bool follow) {
  chkOption->setChecked(follow);
}

void frmKestrelon::ApplySortOptions(const routes::SortOptions& options) {
  SetFollowOptions(options.followOptions);
  int key = 0;
  for (int k = 5; k >= 1 && key == 0; --k) {
    if (options.sortKey[k]) {
      key = k;
    }
  }
  mSortKey_Click(key);
  for (int k = 0; k < 6; ++k) {
    mInfoDel[k]->setChecked(options.infoDel[k]);
  }
}

}  // namespace kestrelon::ui
