// The Help menu's handlers of frmKestrelon: each shows one fixed text.
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

#include "ui/help_texts.h"
#include "ui/main_window.h"

namespace kestrelon::ui {

void frmKestrelon::ShowHelp(const QString& text) {
  // The texts end their lines with CR LF; a label breaks lines at LF alone.
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(QMessageBox::NoIcon, Caption(), shown, QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  // A message box wraps lines past 500 pixels; these texts read best with their own breaks,
  // so the label is made as wide as its longest line while that fits on the screen.
  if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
    int longest = 0;
    const QStringList lines = shown.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
      longest = std::max(longest, label->fontMetrics().horizontalAdvance(line));
    }
    const int available = screen()->availableGeometry().width() - 100;
    label->setMinimumWidth(std::min(longest + 2, available));
  }
  box.exec();
}

void frmKestrelon::mHowTo1_Click() {
  ShowHelp(HowToSortText());
}
void frmKestrelon::mHowTo2_Click() {
  ShowHelp(HowToCompareText());
}
void frmKestrelon::mHowTo3_Click() {
  ShowHelp(HowToCommandText());
}
void frmKestrelon::mTech1_Click() {
  ShowHelp(TechNotes1Text());
}
void frmKestrelon::mTech2_Click() {
  ShowHelp(TechNotes2Text());
}
void frmKestrelon::mAbout_Click() {
  ShowHelp(AboutText());
}

}  // namespace kestrelon::ui
