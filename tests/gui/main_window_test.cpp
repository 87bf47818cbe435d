// The window's minimum size and resizing, fonts and icon; the Help menu's texts and message
// boxes.
#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "ui/help_texts.h"
#include "ui/twips.h"
#include "window_fixture.h"

using namespace kestrelon::testing;
using kestrelon::ui::TwipsToPixelsX;

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

  void sizeIconAndFonts() {
    QVERIFY(window_->windowIcon().availableSizes().contains(QSize(16, 16)));
    // The minimum size holds; taller only leaves room below; a minimised window is left alone
    // and laid out on restore.
    const QSize minimum = window_->size();
    const QRect checkBox = fixture_->checkBox("chkOption")->geometry();
    const QRect button = fixture_->button("cmdDiff")->geometry();
    window_->resize(100, 50);
    QCOMPARE(window_->size(), minimum);
    window_->resize(minimum.width(), minimum.height() + 200);
    QCOMPARE(fixture_->checkBox("chkOption")->geometry(), checkBox);
    window_->showMinimized();
    window_->Form_Resize();
    window_->showNormal();
    window_->resize(TwipsToPixelsX(*window_, 11700), window_->height());
    QCOMPARE(fixture_->button("cmdDiff")->x(), button.x() + TwipsToPixelsX(*window_, 1500));
    // The set-up installs the IPA fonts, so the boxes never fall back to a font without kana.
    const QFont font = fixture_->box("txtDiffFile")->font();
    QVERIFY(QFont::substitutes(font.family()).contains(QFontInfo(font).family().toLower()));
  }

  // Each Help entry shows its text (tests/data/help_texts/ENTRY.txt byte for byte, UTF-8, CR LF)
  // in an application-modal box with OK alone and no icon. After a deliberate change of a text,
  // KESTRELON_WRITE_EXPECTED=1 writes the files anew.
  void helpEntries_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("mHowTo1") << kestrelon::ui::HowToSortText();
    QTest::newRow("mHowTo2") << kestrelon::ui::HowToCompareText();
    QTest::newRow("mHowTo3") << kestrelon::ui::HowToCommandText();
    QTest::newRow("mTech1") << kestrelon::ui::TechNotes1Text();
    QTest::newRow("mTech2") << kestrelon::ui::TechNotes2Text();
    QTest::newRow("mAbout") << kestrelon::ui::AboutText();
  }

  void helpEntries() {
    QFETCH(QString, text);
    const QString entry = U(QTest::currentDataTag());
    const QString expected = U(KESTRELON_TEST_DATA "/help_texts/") + entry + U(".txt");
    if (qEnvironmentVariableIsSet("KESTRELON_WRITE_EXPECTED")) {
      Write(expected, text.toUtf8());
    }
    QCOMPARE(text.toUtf8(), Read(expected));
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      seen = true;
      QCOMPARE(box->windowTitle(), U("Cisco [show ip route]"));
      QCOMPARE(box->windowModality(), Qt::ApplicationModal);
      QCOMPARE(box->icon(), QMessageBox::NoIcon);
      QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
      QCOMPARE(box->text() + U("\n"), QString(text).replace(U("\r\n"), U("\n")) + U("\n"));
      box->button(QMessageBox::Ok)->click();
    });
    fixture_->item(qPrintable(entry))->trigger();
    QVERIFY(seen);
  }

 private:
  std::unique_ptr<WindowFixture> fixture_;
  kestrelon::ui::frmKestrelon* window_ = nullptr;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
