// The window's controls, layout, minimum size, tab order, fonts, icon and menu tree.
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "ui/twips.h"
#include "window_fixture.h"

using kestrelon::testing::U;
using kestrelon::testing::WindowFixture;
using kestrelon::ui::frmKestrelon;
using kestrelon::ui::PixelsToTwipsX;
using kestrelon::ui::TwipsToPixelsX;
using kestrelon::ui::TwipsToPixelsY;

namespace {

// The rectangle a control must have, given in twips, as pixels of the window.
QRect Expected(const QWidget& window, int left, int top, int width, int height) {
  return QRect(TwipsToPixelsX(window, left), TwipsToPixelsY(window, top),
               TwipsToPixelsX(window, width), TwipsToPixelsY(window, height));
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    // Stored states equal to the designed ones, so the window starts as designed.
    fixture_ = std::make_unique<WindowFixture>("[Kestrelon]\nEnableOpt=1\nStoreSort=1\n");
    window_ = &fixture_->window();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
  }
  void cleanup() { fixture_.reset(); }

  void captionAndIcon() {
    QCOMPARE(window_->windowTitle(), U("Cisco [show ip route]"));
    const QList<QSize> sizes = window_->windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(32, 32)));
    QVERIFY(sizes.contains(QSize(16, 16)));
  }

  void controls_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::newRow("lblReadFile(1)") << U("QLabel") << U("ファイル １");
    QTest::newRow("lblReadFile(2)") << U("QLabel") << U("ファイル ２");
    QTest::newRow("lblWriteFile(1)") << U("QLabel") << U("ソート結果");
    QTest::newRow("lblWriteFile(2)") << U("QLabel") << U("ソート結果");
    QTest::newRow("lblDiffFile") << U("QLabel") << U("比較結果");
    QTest::newRow("lblFileExt(1)") << U("QLabel") << U("拡張子");
    QTest::newRow("lblFileExt(2)") << U("QLabel") << U("拡張子");
    QTest::newRow("lblFileExt(3)") << U("QLabel") << U("拡張子");
    QTest::newRow("cmdSort(1)") << U("QPushButton") << U("ソートする");
    QTest::newRow("cmdSort(2)") << U("QPushButton") << U("ソートする");
    QTest::newRow("cmdDiff") << U("QPushButton") << U("比較する");
    QTest::newRow("cmdBrowseRead(1)") << U("QPushButton") << U("参照");
    QTest::newRow("cmdBrowseRead(2)") << U("QPushButton") << U("参照");
    QTest::newRow("cmdBrowseWrite(1)") << U("QPushButton") << U("参照");
    QTest::newRow("cmdBrowseWrite(2)") << U("QPushButton") << U("参照");
    QTest::newRow("cmdBrowseDiff") << U("QPushButton") << U("参照");
    QTest::newRow("chkOption") << U("QCheckBox") << U("オプション設定に従う");
    QTest::newRow("chkFileDel") << U("QCheckBox") << U("比較用のソート結果を残す");
    for (const char* box :
         {"txtReadFile(1)", "txtReadFile(2)", "txtWriteFile(1)", "txtWriteFile(2)", "txtDiffFile",
          "txtFileExt(1)", "txtFileExt(2)", "txtFileExt(3)"}) {
      QTest::newRow(box) << U("QLineEdit") << QString();
    }
    QTest::newRow("UpperDelim") << U("QFrame") << QString();
  }

  void controls() {
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QWidget* widget = window_->findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget != nullptr);
    QVERIFY(widget->inherits(kind.toLatin1().constData()));
    QVERIFY(widget->isVisible());
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      QCOMPARE(label->text(), caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      QCOMPARE(button->text(), caption);
    }
  }

  // Left, top, width, height in twips at the minimum width (extra 0) and 1500 twips wider.
  void layout_data() {
    QTest::addColumn<int>("extra");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    struct Row {
      const char* name;
      int left, top, width, height;
      int leftGrowth, widthGrowth;  // per twip of extra width
    };
    const Row rows[] = {
        {"lblReadFile(1)", 120, 180, 840, 180, 0, 0},
        {"txtReadFile(1)", 960, 120, 7215, 300, 0, 1},
        {"lblWriteFile(1)", 120, 480, 840, 180, 0, 0},
        {"txtWriteFile(1)", 960, 420, 7215, 300, 0, 1},
        {"lblReadFile(2)", 120, 900, 840, 180, 0, 0},
        {"txtReadFile(2)", 960, 840, 7215, 300, 0, 1},
        {"txtWriteFile(2)", 960, 1140, 7215, 300, 0, 1},
        {"lblDiffFile", 120, 1620, 840, 180, 0, 0},
        {"txtDiffFile", 960, 1560, 7215, 300, 0, 1},
        {"chkOption", 1680, 2040, 2400, 300, 0, 0},
        {"cmdSort(1)", 9000, 120, 1080, 300, 1, 0},
        {"chkFileDel", 5160, 2040, 2400, 300, 0, 0},
        {"cmdDiff", 9000, 1560, 1080, 300, 1, 0},
        {"cmdBrowseRead(1)", 8160, 120, 615, 300, 1, 0},
        {"cmdBrowseWrite(1)", 8160, 420, 615, 300, 1, 0},
        {"cmdBrowseRead(2)", 8160, 840, 615, 300, 1, 0},
        {"cmdBrowseDiff", 8160, 1560, 615, 300, 1, 0},
        {"cmdSort(2)", 9000, 840, 1080, 300, 1, 0},
        {"lblWriteFile(2)", 120, 1200, 840, 180, 0, 0},
        {"cmdBrowseWrite(2)", 8160, 1140, 615, 300, 1, 0},
        {"lblFileExt(1)", 9000, 480, 600, 180, 1, 0},
        {"lblFileExt(2)", 9000, 1200, 600, 180, 1, 0},
        {"txtFileExt(1)", 9600, 420, 480, 270, 1, 0},
        {"txtFileExt(2)", 9600, 1140, 480, 270, 1, 0},
        {"txtFileExt(3)", 9600, 1860, 480, 270, 1, 0},
        {"lblFileExt(3)", 9000, 1920, 600, 180, 1, 0},
        {"UpperDelim", -30, 0, 10260, 30, 0, 1},
    };
    for (int extra : {0, 1500}) {
      for (const Row& r : rows) {
        QTest::addRow("%s +%d", r.name, extra) << extra << QString::fromLatin1(r.name)
                                               << QRect(r.left + r.leftGrowth * extra, r.top,
                                                        r.width + r.widthGrowth * extra, r.height);
      }
    }
  }

  void layout() {
    QFETCH(int, extra);
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    const int height = window_->height();
    window_->resize(TwipsToPixelsX(*window_, 10200 + extra), height);
    QWidget* widget = window_->findChild<QWidget*>(name);
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->geometry(),
             Expected(*window_, twips.x(), twips.y(), twips.width(), twips.height()));
  }

  void wideningByFifteenHundredTwips() {
    window_->resize(TwipsToPixelsX(*window_, 11700), window_->height());
    const auto left = [this](const char* name) {
      return PixelsToTwipsX(*window_, window_->findChild<QWidget*>(U(name))->x());
    };
    QCOMPARE(PixelsToTwipsX(*window_, window_->findChild<QWidget*>(U("txtDiffFile"))->width()),
             8715);
    QCOMPARE(left("cmdBrowseWrite(2)"), 9660);
    QCOMPARE(left("cmdDiff"), 10500);
    QCOMPARE(left("lblFileExt(3)"), 10500);
    QCOMPARE(left("txtFileExt(3)"), 11100);
  }

  void minimumSizeHolds() {
    const QSize minimum = window_->size();
    QCOMPARE(PixelsToTwipsX(*window_, minimum.width()), 10200);
    QCOMPARE(window_->centralWidget()->height(), TwipsToPixelsY(*window_, 2400));
    window_->resize(100, 50);
    QCOMPARE(window_->size(), minimum);
    // Taller only leaves room below; nothing moves down.
    const QRect checkBox = window_->findChild<QWidget*>(U("chkOption"))->geometry();
    window_->resize(minimum.width(), minimum.height() + 200);
    QCOMPARE(window_->findChild<QWidget*>(U("chkOption"))->geometry(), checkBox);
  }

  void minimisedWindowIsLeftAloneAndLaidOutOnRestore() {
    const QRect designed = window_->findChild<QWidget*>(U("cmdDiff"))->geometry();
    window_->showMinimized();
    window_->Form_Resize();
    window_->showNormal();
    window_->resize(TwipsToPixelsX(*window_, 11700), window_->height());
    QCOMPARE(window_->findChild<QWidget*>(U("cmdDiff"))->x(),
             designed.x() + TwipsToPixelsX(*window_, 1500));
  }

  void tabOrder() {
    QStringList expected;
    for (const char* name :
         {"txtReadFile(1)", "txtWriteFile(1)", "txtReadFile(2)", "txtWriteFile(2)", "txtDiffFile",
          "chkOption", "cmdSort(1)", "chkFileDel", "cmdDiff", "cmdBrowseRead(1)",
          "cmdBrowseWrite(1)", "cmdBrowseRead(2)", "cmdBrowseDiff", "cmdSort(2)",
          "cmdBrowseWrite(2)", "txtFileExt(1)", "txtFileExt(2)", "txtFileExt(3)"}) {
      expected.append(U(name));
    }
    QStringList order;
    QWidget* first = window_->findChild<QWidget*>(expected.front());
    QWidget* widget = first;
    do {
      if ((widget->focusPolicy() & Qt::TabFocus) && window_->isAncestorOf(widget)) {
        order.append(widget->objectName());
      }
      widget = widget->nextInFocusChain();
    } while (widget != first && order.size() <= expected.size());
    QCOMPARE(order, expected);
  }

  void fileNameBoxFonts() {
    for (const char* name : {"txtReadFile(1)", "txtReadFile(2)", "txtWriteFile(1)",
                             "txtWriteFile(2)", "txtDiffFile"}) {
      const QFont font = window_->findChild<QLineEdit*>(U(name))->font();
      QCOMPARE(font.family(), U("ＭＳ Ｐゴシック"));
      QCOMPARE(font.pointSizeF(), 9.75);
      QCOMPARE(font.weight(), QFont::Normal);
      QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
    }
    // Qt keeps substitutes in lower case.
    const QStringList substitutes = QFont::substitutes(U("ＭＳ Ｐゴシック"));
    QCOMPARE(substitutes.mid(0, 3),
             (QStringList{U("ms pgothic"), U("ipapgothic"), U("noto sans cjk jp")}));
    // The set-up installs the IPA fonts, so the boxes never fall back to a font without kana.
    const QFont boxFont = window_->findChild<QLineEdit*>(U("txtDiffFile"))->font();
    QVERIFY(substitutes.contains(QFontInfo(boxFont).family().toLower()));
  }

  void menuTree() {
    // Per menu: name, caption (empty for a separator), shortcut, check state (-1: none).
    struct Item {
      const char* name;
      const char* caption;
      const char* shortcut;
      int checked;
    };
    const auto check = [this](const char* menuName, std::initializer_list<Item> items) {
      auto* menu = window_->findChild<QMenu*>(U(menuName));
      QVERIFY2(menu != nullptr, menuName);
      const QList<QAction*> actions = menu->actions();
      QCOMPARE(actions.size(), static_cast<qsizetype>(items.size()));
      int n = 0;
      for (const Item& item : items) {
        QAction* action = actions[n++];
        QCOMPARE(action->objectName(), U(item.name));
        if (*item.caption == '\0') {
          QVERIFY2(action->isSeparator(), item.name);
          continue;
        }
        QCOMPARE(action->text(), U(item.caption));
        QCOMPARE(action->shortcut(), QKeySequence(U(item.shortcut)));
        QCOMPARE(action->isCheckable(), item.checked >= 0);
        if (item.checked >= 0) {
          QCOMPARE(action->isChecked(), item.checked == 1);
        }
      }
    };
    QStringList bar;
    for (QAction* action : window_->menuBar()->actions()) {
      bar.append(action->text());
    }
    QCOMPARE(bar, (QStringList{U("ファイル(&F)"), U("実行(&R)"), U("設定(&T)"), U("ヘルプ(&H)")}));
    check("mFile", {{"mFileOpen(1)", "ファイル１を指定(&O)", "Ctrl+O", -1},
                    {"mFileOpen(2)", "ファイル２を指定(&I)", "Ctrl+I", -1},
                    {"mBarF", "", "", -1},
                    {"mEnd", "終了(&X)", "Ctrl+Q", -1}});
    check("mRun", {{"mFileSort(1)", "ファイル１をソート(&S)", "Ctrl+S", -1},
                   {"mFileSort(2)", "ファイル２をソート", "", -1},
                   {"mFileDiff", "ファイル１と２を比較(&D)", "Ctrl+D", -1}});
    check("mConfig", {{"mOption", "オプション設定↓に従ってソートする(&T)", "Ctrl+T", 1},
                      {"mOptConfig", "オプション設定(&O)", "", -1},
                      {"mFileDel", "比較用のソート結果をファイルに残す(&F)", "Ctrl+F", 1}});
    check("mOptConfig", {{"mSortKey(0)", "<宛先アドレス>の順にソート", "", 1},
                         {"mSortKey(1)", "<ネクストホップ>の順にソート", "", 0},
                         {"mSortKey(2)", "<マスク長>→<宛先>の順にソート", "", 0},
                         {"mSortKey(3)", "<マスク長>→<次ホップ>の順にソート", "", 0},
                         {"mSortKey(4)", "<プロトコル>→<宛先>の順にソート", "", 0},
                         {"mSortKey(5)", "<プロトコル>→<次ホップ>の順にソート", "", 0},
                         {"mBarO1", "", "", -1},
                         {"mInfoDel(0)", "全情報を出力／比較対照する", "", 1},
                         {"mInfoDel(1)", "インタフェース情報を削除して出力／比較する", "", 0},
                         {"mInfoDel(2)", "時刻情報を削除して出力／比較する", "", 0},
                         {"mInfoDel(3)", "コスト情報を削除して出力／比較する", "", 0},
                         {"mInfoDel(4)", "宛先アドレスとマスクだけを残して出力／比較する", "", 0},
                         {"mInfoDel(5)", "宛先アドレスだけを出力／比較する", "", 0},
                         {"mBarO2", "", "", -1}});
    check("mHelp", {{"mHowTo1", "使い方　ソート(&S)", "", -1},
                    {"mHowTo2", "使い方　比較(&D)", "", -1},
                    {"mHowTo3", "使い方　コマンド(&C)", "", -1},
                    {"mBarH1", "", "", -1},
                    {"mTech1", "内部動作１(&T)", "", -1},
                    {"mTech2", "内部動作２(&U)", "", -1},
                    {"mBarH2", "", "", -1},
                    {"mAbout", "バージョン情報(&A)", "", -1}});
    // The captions hold the full-width space, the arrow and the full-width solidus.
    QVERIFY(window_->findChild<QAction*>(U("mHowTo1"))->text().contains(QChar(0x3000)));
    QVERIFY(window_->findChild<QAction*>(U("mSortKey(2)"))->text().contains(QChar(0x2192)));
    QVERIFY(window_->findChild<QAction*>(U("mInfoDel(0)"))->text().contains(QChar(0xFF0F)));
  }

 private:
  std::unique_ptr<WindowFixture> fixture_;
  frmKestrelon* window_ = nullptr;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
