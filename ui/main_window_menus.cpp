// The menu bar of frmKestrelon: its entries, shortcuts, initial check marks and wiring.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "ui/main_window.h"

namespace kestrelon::ui {

namespace {

QString Indexed(const char* base, int index) {
  return QString::fromUtf8(base) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

QMenu* AddMenu(QMenuBar* bar, const char* name, const char* caption) {
  QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
  menu->setObjectName(QString::fromUtf8(name));
  return menu;
}

void Checkable(QAction* action, bool checked) {
  action->setCheckable(true);
  action->setChecked(checked);
}

}  // namespace

QAction* frmKestrelon::AddItem(QMenu* menu, const QString& name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}

QAction* frmKestrelon::AddSeparator(QMenu* menu, const QString& name) {
  QAction* action = menu->addSeparator();
  action->setObjectName(name);
  return action;
}

template <typename Handler>
void frmKestrelon::OnChosen(QAction* action, Handler handler) {
  connect(action, &QAction::triggered, this, [action, handler](bool checked) {
    if (action->isCheckable()) {
      action->setChecked(!checked);
    }
    handler();
  });
}

void frmKestrelon::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto item = [this](QMenu* menu, const QString& name, const char* caption) {
    return AddItem(menu, name, QString::fromUtf8(caption));
  };
  auto separator = [this](QMenu* menu, const char* name) {
    AddSeparator(menu, QString::fromUtf8(name));
  };
  const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };

  QMenu* mFile = AddMenu(bar, "mFile", "ファイル(&F)");
  mFileOpen[1] = item(mFile, Indexed("mFileOpen", 1), "ファイル１を指定(&O)");
  mFileOpen[1]->setShortcut(ctrl(Qt::Key_O));
  mFileOpen[2] = item(mFile, Indexed("mFileOpen", 2), "ファイル２を指定(&I)");
  mFileOpen[2]->setShortcut(ctrl(Qt::Key_I));
  separator(mFile, "mBarF");
  mEnd = item(mFile, QStringLiteral("mEnd"), "終了(&X)");
  mEnd->setShortcut(ctrl(Qt::Key_Q));

  QMenu* mRun = AddMenu(bar, "mRun", "実行(&R)");
  mFileSort[1] = item(mRun, Indexed("mFileSort", 1), "ファイル１をソート(&S)");
  mFileSort[1]->setShortcut(ctrl(Qt::Key_S));
  mFileSort[2] = item(mRun, Indexed("mFileSort", 2), "ファイル２をソート");
  mFileDiff = item(mRun, QStringLiteral("mFileDiff"), "ファイル１と２を比較(&D)");
  mFileDiff->setShortcut(ctrl(Qt::Key_D));
  mRouteDiff = item(mRun, QStringLiteral("mRouteDiff"), "ファイル１と２の経路の差分を表示(&V)...");
  mRouteDiff->setShortcut(ctrl(Qt::Key_R));
  mFleetDiff = item(mRun, QStringLiteral("mFleetDiff"), "フォルダを比較(&M)...");
  mFleetDiff->setShortcut(ctrl(Qt::Key_M));

  QMenu* mConfig = AddMenu(bar, "mConfig", "設定(&T)");
  mOption = item(mConfig, QStringLiteral("mOption"), "オプション設定↓に従ってソートする(&T)");
  mOption->setShortcut(ctrl(Qt::Key_T));
  Checkable(mOption, true);
  mOptConfig = mConfig->addMenu(QString::fromUtf8("オプション設定(&O)"));
  mOptConfig->setObjectName(QStringLiteral("mOptConfig"));
  mOptConfig->menuAction()->setObjectName(QStringLiteral("mOptConfig"));
  const char* const sortKeyCaptions[] = {
      "<宛先アドレス>の順にソート",      "<ネクストホップ>の順にソート",
      "<マスク長>→<宛先>の順にソート",   "<マスク長>→<次ホップ>の順にソート",
      "<プロトコル>→<宛先>の順にソート", "<プロトコル>→<次ホップ>の順にソート"};
  for (int k = 0; k < 6; ++k) {
    mSortKey[k] = item(mOptConfig, Indexed("mSortKey", k), sortKeyCaptions[k]);
    Checkable(mSortKey[k], k == 0);
  }
  separator(mOptConfig, "mBarO1");
  const char* const infoDelCaptions[] = {"全情報を出力／比較対照する",
                                         "インタフェース情報を削除して出力／比較する",
                                         "時刻情報を削除して出力／比較する",
                                         "コスト情報を削除して出力／比較する",
                                         "宛先アドレスとマスクだけを残して出力／比較する",
                                         "宛先アドレスだけを出力／比較する"};
  for (int k = 0; k < 6; ++k) {
    mInfoDel[k] = item(mOptConfig, Indexed("mInfoDel", k), infoDelCaptions[k]);
    Checkable(mInfoDel[k], k == 0);
  }
  separator(mOptConfig, "mBarO2");
  mFileDel = item(mConfig, QStringLiteral("mFileDel"), "比較用のソート結果をファイルに残す(&F)");
  mFileDel->setShortcut(ctrl(Qt::Key_F));
  Checkable(mFileDel, true);

  QMenu* mHelp = AddMenu(bar, "mHelp", "ヘルプ(&H)");
  QAction* mHowTo1 = item(mHelp, QStringLiteral("mHowTo1"), "使い方　ソート(&S)");
  QAction* mHowTo2 = item(mHelp, QStringLiteral("mHowTo2"), "使い方　比較(&D)");
  QAction* mHowTo3 = item(mHelp, QStringLiteral("mHowTo3"), "使い方　コマンド(&C)");
  separator(mHelp, "mBarH1");
  QAction* mTech1 = item(mHelp, QStringLiteral("mTech1"), "内部動作１(&T)");
  QAction* mTech2 = item(mHelp, QStringLiteral("mTech2"), "内部動作２(&U)");
  separator(mHelp, "mBarH2");
  QAction* mAbout = item(mHelp, QStringLiteral("mAbout"), "バージョン情報(&A)");

  for (int i = 1; i <= 2; ++i) {
    OnChosen(mFileOpen[i], [this, i] { mFileOpen_Click(i); });
    OnChosen(mFileSort[i], [this, i] { mFileSort_Click(i); });
  }
  OnChosen(mEnd, [this] { mEnd_Click(); });
  OnChosen(mFileDiff, [this] { mFileDiff_Click(); });
  OnChosen(mRouteDiff, [this] { mRouteDiff_Click(); });
  OnChosen(mFleetDiff, [this] { mFleetDiff_Click(); });
  OnChosen(mOption, [this] { mOption_Click(); });
  OnChosen(mFileDel, [this] { mFileDel_Click(); });
  for (int k = 0; k < 6; ++k) {
    OnChosen(mSortKey[k], [this, k] { mSortKey_Click(k); });
    OnChosen(mInfoDel[k], [this, k] { mInfoDel_Click(k); });
  }
  OnChosen(mHowTo1, [this] { mHowTo1_Click(); });
  OnChosen(mHowTo2, [this] { mHowTo2_Click(); });
  OnChosen(mHowTo3, [this] { mHowTo3_Click(); });
  OnChosen(mTech1, [this] { mTech1_Click(); });
  OnChosen(mTech2, [this] { mTech2_Click(); });
  OnChosen(mAbout, [this] { mAbout_Click(); });
}

}  // namespace kestrelon::ui
