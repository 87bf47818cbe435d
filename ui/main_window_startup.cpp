// Start-up and end of frmKestrelon: settings restored into the controls, names derived.
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>

#include "settings/win_sys.h"
#include "ui/core_names.h"
#include "ui/main_window.h"
#include "ui/settings_location.h"

namespace kestrelon::ui {

namespace {

const char kSection[] = "Kestrelon";

// A stored check-box state: a number that rounds to 1 checks the box, anything else leaves it
// unchecked (the next change then stores 0 or 1).
bool CheckedFromSetting(const QString& text) {
  return settings::ReadCheckState(text.toStdString()) == 1;
}

}  // namespace

QString frmKestrelon::ReadSetting(const char* key) const {
  return QString::fromStdString(settings::ReadIni(CoreName(strIniFile), kSection, key));
}

void frmKestrelon::WriteSetting(const char* key, const QString& value) {
  if (!settingsWritable_) {
    return;
  }
  settings::WriteIni(CoreName(strIniFile), kSection, key, value.toStdString());
}

void frmKestrelon::Form_Load(const QString& programFolder) {
  Form_Resize();

  strIniFile = SettingsFilePath(programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                        : programFolder);
  settingsWritable_ = settings::ProfileReadable(CoreName(strIniFile));

  // Each assignment that changes a box runs its change handler, which stores the extension.
  txtFileExt[1]->setText(ReadSetting("SortExt1"));
  txtFileExt[2]->setText(ReadSetting("SortExt2"));
  txtFileExt[3]->setText(ReadSetting("DiffExt"));

  // The boxes start checked; a change runs their handlers, which also store the state. The
  // menu marks are set here as well, since an unchanged box runs nothing.
  chkOption->setChecked(CheckedFromSetting(ReadSetting("EnableOpt")));
  mOption->setChecked(chkOption->isChecked());
  mOptConfig->menuAction()->setEnabled(mOption->isChecked());
  chkFileDel->setChecked(CheckedFromSetting(ReadSetting("StoreSort")));
  mFileDel->setChecked(chkFileDel->isChecked());

  txtReadFile_Change(1);
  txtReadFile_Change(2);
}

void frmKestrelon::mEnd_Click() {
  close();
}

}  // namespace kestrelon::ui
