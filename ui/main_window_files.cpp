// File selection of frmKestrelon: output and staging names, colours, browse and drop.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "names/output_names.h"
#include "settings/win_sys.h"
#include "ui/core_names.h"
#include "ui/file_name_edit.h"
#include "ui/main_window.h"

namespace kestrelon::ui {

namespace {

bool Exists(const QString& path) {
  return settings::FileExists(CoreName(path));
}

void SetTextColour(QLineEdit* box, const QColor& colour) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Text, colour);
  box->setPalette(palette);
}

}  // namespace

void frmKestrelon::txtReadFile_Change(int Index) {
  if (Index != 1 && Index != 2) {
    return;
  }
  const QString name = txtReadFile[Index]->text();
  cmdSort[Index]->setEnabled(Exists(name));
  // The commands' own states, whether or not the window as a whole is disabled just now.
  cmdDiff->setEnabled(cmdSort[1]->isEnabledTo(this) && cmdSort[2]->isEnabledTo(this));
  mFileSort[Index]->setEnabled(cmdSort[Index]->isEnabledTo(this));
  mFileDiff->setEnabled(cmdDiff->isEnabledTo(this));
  mRouteDiff->setEnabled(mFileDiff->isEnabled());

  const std::string utf8 = name.toStdString();
  const QString base = QString::fromStdString(names::StripExtension(utf8));
  txtWriteFile[Index]->setText(base + strSortExt[Index]);
  if (Index == 2) {
    txtDiffFile->setText(base + strDiffExt);
  }
}

void frmKestrelon::ColourByExistence(QLineEdit* box) {
  SetTextColour(box, Exists(box->text()) ? QColor(255, 0, 0)
                                         : QApplication::palette(box).color(QPalette::Text));
}

void frmKestrelon::ShowWriting(QLineEdit* box) {
  SetTextColour(box, QColor(0, 0, 255));
  box->repaint();
}

void frmKestrelon::txtWriteFile_Change(int Index) {
  if (Index == 1 || Index == 2) {
    ColourByExistence(txtWriteFile[Index]);
  }
}

void frmKestrelon::txtDiffFile_Change() {
  ColourByExistence(txtDiffFile);
}

void frmKestrelon::txtFileExt_Change(int Index) {
  const auto normalized = [this, Index] {
    return QString::fromStdString(
        names::NormalizeExtension(txtFileExt[Index]->text().toStdString()));
  };
  if (Index == 1 || Index == 2) {
    strSortExt[Index] = normalized();
    txtReadFile_Change(Index);
    WriteSetting(Index == 1 ? "SortExt1" : "SortExt2", strSortExt[Index]);
  } else if (Index == 3) {
    strDiffExt = normalized();
    txtReadFile_Change(2);
    WriteSetting("DiffExt", strDiffExt);
  }
}

frmKestrelon::FileDialog frmKestrelon::SystemFileDialog() {
  // No title, filter or default extension: the dialog lists every file and starts from the
  // box's name. An empty answer is a cancel.
  return [this](FileDialogKind kind, const QString& initialName) -> std::optional<QString> {
    const QString chosen = kind == FileDialogKind::Open
                               ? QFileDialog::getOpenFileName(this, QString(), initialName)
                               : QFileDialog::getSaveFileName(this, QString(), initialName);
    if (chosen.isEmpty()) {
      return std::nullopt;
    }
    return chosen;
  };
}

void frmKestrelon::setFileDialog(FileDialog dialog) {
  fileDialog_ = std::move(dialog);
}

void frmKestrelon::Browse(QLineEdit* box, FileDialogKind kind) {
  if (!fileDialog_) {
    return;
  }
  const std::optional<QString> chosen = fileDialog_(kind, box->text());
  if (chosen) {
    box->setText(*chosen);
  }
}

void frmKestrelon::cmdBrowseRead_Click(int Index) {
  if (Index == 1 || Index == 2) {
    Browse(txtReadFile[Index], FileDialogKind::Open);
  }
}

void frmKestrelon::cmdBrowseWrite_Click(int Index) {
  if (Index == 1 || Index == 2) {
    Browse(txtWriteFile[Index], FileDialogKind::Save);
  }
}

void frmKestrelon::cmdBrowseDiff_Click() {
  Browse(txtDiffFile, FileDialogKind::Save);
}

void frmKestrelon::mFileOpen_Click(int Index) {
  cmdBrowseRead_Click(Index);
}

// A drop always names an input: the box's own side, the compare result belongs to side 2.
void frmKestrelon::txtReadFile_OLEDragDrop(int Index, const QStringList& files) {
  if ((Index == 1 || Index == 2) && !files.isEmpty()) {
    txtReadFile[Index]->setText(files.first());
  }
}

void frmKestrelon::txtWriteFile_OLEDragDrop(int Index, const QStringList& files) {
  txtReadFile_OLEDragDrop(Index, files);
}

void frmKestrelon::txtDiffFile_OLEDragDrop(const QStringList& files) {
  txtReadFile_OLEDragDrop(2, files);
}

}  // namespace kestrelon::ui
