// The Help menu's texts against the files of expected texts, and the message boxes that show them.
#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ui/help_texts.h"
#include "ui/main_window.h"

using namespace kestrelon::ui;

namespace {

QString U(const char* text) {
  return QString::fromUtf8(text);
}

void AddEntries() {
  QTest::addColumn<QString>("entry");
  QTest::addColumn<QString>("text");
  QTest::newRow("mHowTo1") << U("mHowTo1") << HowToSortText();
  QTest::newRow("mHowTo2") << U("mHowTo2") << HowToCompareText();
  QTest::newRow("mHowTo3") << U("mHowTo3") << HowToCommandText();
  QTest::newRow("mTech1") << U("mTech1") << TechNotes1Text();
  QTest::newRow("mTech2") << U("mTech2") << TechNotes2Text();
  QTest::newRow("mAbout") << U("mAbout") << AboutText();
}

}  // namespace

class HelpTextsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // tests/data/help_texts/ENTRY.txt holds each text byte for byte (UTF-8, CR LF). After a
  // deliberate change of a text, KESTRELON_WRITE_EXPECTED=1 writes the files anew.
  void textsMatchTheExpectedFiles_data() { AddEntries(); }
  void textsMatchTheExpectedFiles() {
    QFETCH(QString, entry);
    QFETCH(QString, text);
    QFile file(U(KESTRELON_TEST_DATA "/help_texts/") + entry + U(".txt"));
    if (qEnvironmentVariableIsSet("KESTRELON_WRITE_EXPECTED")) {
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(text.toUtf8());
      return;
    }
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QCOMPARE(text.toUtf8(), file.readAll());
  }

  void twoDigitMinor_data() {
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("digits");
    QTest::newRow("5") << 5 << U("05");
    QTest::newRow("50") << 50 << U("50");
    QTest::newRow("150") << 150 << U("50");
    QTest::newRow("0") << 0 << U("00");
  }

  void twoDigitMinor() {
    QFETCH(int, minor);
    QFETCH(QString, digits);
    QCOMPARE(TwoDigitMinor(minor), digits);
  }

  // Each Help entry shows its text in an application-modal box with OK alone and no icon.
  void helpEntriesShowMessageBoxes_data() { AddEntries(); }
  void helpEntriesShowMessageBoxes() {
    QFETCH(QString, entry);
    QFETCH(QString, text);
    QTemporaryDir folder;
    frmKestrelon window(folder.path());
    window.show();
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
    window.findChild<QAction*>(entry)->trigger();
    QVERIFY(seen);
  }
};

QTEST_MAIN(HelpTextsTest)
#include "help_texts_test.moc"
