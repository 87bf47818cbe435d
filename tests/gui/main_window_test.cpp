// The window's controls, layout, tab order and menus against a described window; minimum
// size, resizing, fonts and icon.
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "ui/twips.h"
#include "window_fixture.h"

using kestrelon::testing::U;
using kestrelon::testing::WindowFixture;
using kestrelon::ui::frmKestrelon;
using kestrelon::ui::PixelsToTwipsX;
using kestrelon::ui::PixelsToTwipsY;
using kestrelon::ui::TwipsToPixelsX;
using kestrelon::ui::TwipsToPixelsY;

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

  // The controls (class, caption, twips geometry at the minimum width and 1500 twips wider) in
  // tab order, then the menu tree (caption, shortcut, check mark), against one file of expected
  // text. KESTRELON_WRITE_EXPECTED=1 writes the file anew after a deliberate change.
  void controlsLayoutTabOrderAndMenus() {
    QString text;
    for (int extra : {0, 1500}) {
      window_->resize(TwipsToPixelsX(*window_, 10200 + extra), window_->height());
      text += U("width +%1\n").arg(extra);
      for (const QWidget* widget : TabChainThenOthers()) {
        const QRect r = widget->geometry();
        QString caption;
        if (auto* label = qobject_cast<const QLabel*>(widget)) {
          caption = label->text();
        } else if (auto* button = qobject_cast<const QAbstractButton*>(widget)) {
          caption = button->text();
        }
        text += U("  %1 %2 \"%3\" %4 %5 %6 %7\n")
                    .arg(widget->objectName(), U(widget->metaObject()->className()), caption)
                    .arg(PixelsToTwipsX(*window_, r.x()))
                    .arg(PixelsToTwipsY(*window_, r.y()))
                    .arg(PixelsToTwipsX(*window_, r.width()))
                    .arg(PixelsToTwipsY(*window_, r.height()));
      }
    }
    for (QAction* bar : window_->menuBar()->actions()) {
      text += U("menu \"%1\"\n").arg(bar->text());
      DescribeMenu(*bar->menu(), U("  "), text);
    }
    QFile file(U(KESTRELON_TEST_DATA "/main_window.txt"));
    if (qEnvironmentVariableIsSet("KESTRELON_WRITE_EXPECTED")) {
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(text.toUtf8());
      return;
    }
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QCOMPARE(text, QString::fromUtf8(file.readAll()));
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

 private:
  // The focus chain from the first file-name box, then the controls that take no focus.
  QList<const QWidget*> TabChainThenOthers() const {
    QList<const QWidget*> order;
    QWidget* first = window_->findChild<QWidget*>(U("txtReadFile(1)"));
    QWidget* widget = first;
    do {
      if ((widget->focusPolicy() & Qt::TabFocus) && window_->isAncestorOf(widget)) {
        order.append(widget);
      }
      widget = widget->nextInFocusChain();
    } while (widget != first);
    QList<const QWidget*> rest;
    for (const QWidget* child : window_->centralWidget()->findChildren<QWidget*>()) {
      if (!child->objectName().isEmpty() && !order.contains(child)) {
        rest.append(child);
      }
    }
    std::sort(rest.begin(), rest.end(),
              [](const QWidget* a, const QWidget* b) { return a->objectName() < b->objectName(); });
    return order + rest;
  }

  static void DescribeMenu(const QMenu& menu, const QString& indent, QString& text) {
    for (QAction* action : menu.actions()) {
      if (action->isSeparator()) {
        text += indent + action->objectName() + U(" ----\n");
        continue;
      }
      const QString check =
          !action->isCheckable() ? QString() : (action->isChecked() ? U(" [x]") : U(" [ ]"));
      QString line =
          indent + U("%1 \"%2\" %3%4")
                       .arg(action->objectName(), action->text(),
                            action->shortcut().toString(QKeySequence::PortableText), check);
      while (line.endsWith(u' ')) {
        line.chop(1);
      }
      text += line + U("\n");
      if (action->menu() != nullptr) {
        DescribeMenu(*action->menu(), indent + U("  "), text);
      }
    }
  }

  std::unique_ptr<WindowFixture> fixture_;
  frmKestrelon* window_ = nullptr;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
