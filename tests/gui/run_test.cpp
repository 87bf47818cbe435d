// The sort and the compare run from the window: results, colours, the compare's forced and
// restored options, and failures that leave the window usable.
#include <sys/stat.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "window_fixture.h"

using kestrelon::testing::U;
using kestrelon::testing::WindowFixture;

namespace {

const char kCapture[] =
    "R1#show ip route\r\n"
    "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d03h, Gi0/0\r\n"
    "                      [110/110] via 10.1.1.6, 2d03h, Gi0/1\r\n"
    "C        10.1.1.0/24 is directly connected, Gi0/0\r\n"
    "R1#\r\n";

const char kSorted[] =
    "R1#show ip route\r\n"
    "C        10.1.1.0/24 is directly connected, Gi0/0\r\n"
    "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d03h, Gi0/0\r\n"
    "                      [110/110] via 10.1.1.6, 2d03h, Gi0/1\r\n"
    "R1#\r\n";

const char kAfter[] =
    "R1#show ip route\r\n"
    "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d05h, Gi0/3\r\n"
    "                      [110/110] via 10.1.1.6, 2d05h, Gi0/1\r\n"
    "C        10.1.1.0/24 is directly connected, Gi0/0\r\n"
    "S        10.9.0.0/16 [1/0] via 10.1.1.9\r\n"
    "R1#\r\n";

void Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A file replaced by a write gets a new inode.
ino_t Inode(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QColor TextColour(QLineEdit* box) {
  return box->palette().color(QPalette::Text);
}

// count BGP routes; after a change every hundredth has another next hop.
QByteArray ManyRoutes(int count, bool after) {
  QByteArray text = "R1#show ip route\r\n";
  text.reserve(count * 50);
  for (int i = 0; i < count; ++i) {
    text += "B        " + QByteArray::number(1 + i / 65536) + "." +
            QByteArray::number(i / 256 % 256) + "." + QByteArray::number(i % 256) +
            ".0/24 [20/0] via 10.0.0." + QByteArray::number(after && i % 100 == 0 ? 2 : 1) +
            ", 1w2d\r\n";
  }
  return text + "R1#\r\n";
}

const char kSettings[] =
    "[Kestrelon]\r\nSortExt1=.s1\r\nSortExt2=.s2\r\nDiffExt=.dif\r\nEnableOpt=0\r\n"
    "StoreSort=0\r\n";

}  // namespace

class RunTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void sortButtonWritesTheResultAndShowsItRed() {
    WindowFixture f(kSettings);
    Write(f.Path("r1.log"), kCapture);
    f.box("txtReadFile(1)")->setText(f.Path("r1.log"));
    QCOMPARE(f.box("txtWriteFile(1)")->text(), f.Path("r1.s1"));
    QVERIFY(f.button("cmdSort(1)")->isEnabled());
    QTest::mouseClick(f.button("cmdSort(1)"), Qt::LeftButton);
    QCOMPARE(Read(f.Path("r1.s1")), QByteArray(kSorted));
    QVERIFY(!QFile::exists(f.Path("r1.(1)")));
    QCOMPARE(TextColour(f.box("txtWriteFile(1)")), QColor(255, 0, 0));
  }

  void compareForcesAndRestoresTheUsersOptions() {
    // The user's options: follow them, next-hop order, interface removed.
    WindowFixture f(kSettings);
    f.checkBox("chkOption")->setChecked(true);
    f.window().mSortKey_Click(1);
    f.window().mInfoDel_Click(1);
    Write(f.Path("before.log"), kCapture);
    Write(f.Path("after.log"), kAfter);
    f.box("txtReadFile(1)")->setText(f.Path("before.log"));
    f.box("txtReadFile(2)")->setText(f.Path("after.log"));
    QStringList errors;
    f.window().setErrorReporter(
        [&](const QString&, const QString& detail) { errors.push_back(detail); });
    f.window().mFileDiff_Click();
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(U("\n"))));

    // Destination order with time and interface information removed, whatever the user's key:
    // the OSPF entry differs only in its uptime and an interface, so only the added route shows.
    const QString header =
        U("前: ") + f.Path("before.log") + U("\r\n後: ") + f.Path("after.log") + U("\r\n\r\n");
    const QByteArray result = Read(f.Path("after.dif"));
    QCOMPARE(QString::fromUtf8(result),
             header + U("増> S        10.9.0.0/16 [1/0] via 10.1.1.9\r\n\r\n"
                        " 1 の違いがあります\r\n"));
    // The same as the defaults with the interface cut chosen.
    WindowFixture defaults(kSettings);
    Write(defaults.Path("before.log"), kCapture);
    Write(defaults.Path("after.log"), kAfter);
    defaults.box("txtReadFile(1)")->setText(f.Path("before.log"));
    defaults.box("txtReadFile(2)")->setText(f.Path("after.log"));
    defaults.box("txtDiffFile")->setText(defaults.Path("d.dif"));
    defaults.window().mInfoDel_Click(1);
    defaults.window().cmdDiff_Click();
    QCOMPARE(Read(defaults.Path("d.dif")), result);

    // The user's options are back, and EnableOpt holds the user's value again.
    QVERIFY(f.checkBox("chkOption")->isChecked());
    QCOMPARE(f.Setting("EnableOpt"), U("1"));
    for (int k = 0; k < 6; ++k) {
      QCOMPARE(f.item(qPrintable(QStringLiteral("mSortKey(%1)").arg(k)))->isChecked(), k == 1);
      QCOMPARE(f.item(qPrintable(QStringLiteral("mInfoDel(%1)").arg(k)))->isChecked(), k == 1);
    }
    // The sort results went (StoreSort 0); the result shows red.
    QVERIFY(!QFile::exists(f.Path("before.s1")));
    QVERIFY(!QFile::exists(f.Path("after.s2")));
    QCOMPARE(TextColour(f.box("txtDiffFile")), QColor(255, 0, 0));
  }

  void failureIsToldAndTheWindowStaysUsable() {
    WindowFixture f(kSettings);
    Write(f.Path("before.log"), kCapture);
    Write(f.Path("after.log"), kAfter);
    Write(f.Path("after.dif"), "earlier\r\n");
    f.box("txtReadFile(1)")->setText(f.Path("before.log"));
    f.box("txtReadFile(2)")->setText(f.Path("after.log"));
    QFile::remove(f.Path("after.log"));  // gone after the commands were enabled
    f.window().mInfoDel_Click(3);
    QStringList errors;
    f.window().setErrorReporter(
        [&](const QString&, const QString& detail) { errors.push_back(detail); });
    f.window().cmdDiff_Click();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.front().contains(f.Path("after.log")), qPrintable(errors.front()));
    QVERIFY2(errors.front().contains(U("errno 2")), qPrintable(errors.front()));
    // Nothing half-done: the earlier result intact, no staging file, no sort result.
    QCOMPARE(Read(f.Path("after.dif")), QByteArray("earlier\r\n"));
    for (const char* name : {"before.(1)", "after.(2)", "before.s1", "after.s2"}) {
      QVERIFY2(!QFile::exists(f.Path(name)), name);
    }
    // Options restored, EnableOpt the user's again, colours re-evaluated.
    QVERIFY(!f.checkBox("chkOption")->isChecked());
    QCOMPARE(f.Setting("EnableOpt"), U("0"));
    QVERIFY(f.item("mInfoDel(3)")->isChecked());
    QVERIFY(!f.item("mInfoDel(2)")->isChecked());
    QCOMPARE(TextColour(f.box("txtDiffFile")), QColor(255, 0, 0));
    QVERIFY(f.window().isEnabled());
  }

  void failureAfterTheSortsRestoresTheOptions() {
    WindowFixture f(kSettings);
    Write(f.Path("before.log"), kCapture);
    Write(f.Path("after.log"), kAfter);
    f.box("txtReadFile(1)")->setText(f.Path("before.log"));
    f.box("txtReadFile(2)")->setText(f.Path("after.log"));
    f.box("txtDiffFile")->setText(f.Path("no-such-folder/after.dif"));
    f.window().mSortKey_Click(2);
    QStringList errors;
    f.window().setErrorReporter(
        [&](const QString&, const QString& detail) { errors.push_back(detail); });
    const QByteArray settings = Read(f.IniPath());
    const ino_t settingsFile = Inode(f.IniPath());
    f.window().cmdDiff_Click();
    // Forcing chkOption on and back is no change of the user's: the file was not written at all.
    QCOMPARE(Read(f.IniPath()), settings);
    QCOMPARE(Inode(f.IniPath()), settingsFile);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.front().contains(U("no-such-folder/after.dif")), qPrintable(errors.front()));
    // Both sorts ran; their results went as StoreSort 0 says, and nothing else was left.
    QDir folder(f.Path(""));
    QStringList files = folder.entryList(QDir::Files | QDir::NoDotAndDotDot);
    files.sort();
    QCOMPARE(files, QStringList({U("Kestrelon.ini"), U("after.log"), U("before.log")}));
    QVERIFY(!f.checkBox("chkOption")->isChecked());
    QCOMPARE(f.Setting("EnableOpt"), U("0"));
    QVERIFY(f.item("mSortKey(2)")->isChecked());
    QVERIFY(f.item("mInfoDel(0)")->isChecked());
    QVERIFY(!f.item("mInfoDel(2)")->isChecked());
    QCOMPARE(TextColour(f.box("txtWriteFile(1)")), QApplication::palette().color(QPalette::Text));
  }

  void compareWithoutRouteLinesIsRefused() {
    WindowFixture f(kSettings);
    Write(f.Path("before.log"), kCapture);
    Write(f.Path("after.log"), "R1#show ipv6 route\r\nC   2001:DB8::/64 [0/0]\r\n");
    f.box("txtReadFile(1)")->setText(f.Path("before.log"));
    f.box("txtReadFile(2)")->setText(f.Path("after.log"));
    QStringList errors;
    f.window().setErrorReporter(
        [&](const QString&, const QString& detail) { errors.push_back(detail); });
    f.window().cmdDiff_Click();
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.front().contains(f.Path("after.log")), qPrintable(errors.front()));
    QVERIFY2(errors.front().contains(U("no route lines")), qPrintable(errors.front()));
    QVERIFY(!QFile::exists(f.Path("after.dif")));
    QVERIFY(!f.checkBox("chkOption")->isChecked());
    QCOMPARE(f.Setting("EnableOpt"), U("0"));
    QVERIFY(!f.item("mInfoDel(2)")->isChecked());
  }

  // A long compare leaves the window's event loop turning: a timer ticks throughout, while every
  // command is held (a click is refused, not kept for later) and the boxes show blue.
  void windowStaysResponsiveDuringALongCompare() {
    WindowFixture f(kSettings);
    const int routes = 200000;
    Write(f.Path("before.log"), ManyRoutes(routes, false));
    Write(f.Path("after.log"), ManyRoutes(routes, true));
    f.box("txtReadFile(1)")->setText(f.Path("before.log"));
    f.box("txtReadFile(2)")->setText(f.Path("after.log"));
    QStringList errors;
    f.window().setErrorReporter(
        [&](const QString&, const QString& detail) { errors.push_back(detail); });
    int ticks = 0;
    bool held = true;
    bool blue = true;
    qint64 last = 0;
    qint64 longestGap = 0;
    QElapsedTimer clock;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      ++ticks;
      longestGap = std::max(longestGap, clock.elapsed() - last);
      last = clock.elapsed();
      held = held && !f.button("cmdDiff")->isEnabled() && !f.button("cmdSort(1)")->isEnabled() &&
             !f.item("mFileDiff")->isEnabled() && !f.checkBox("chkOption")->isEnabled() &&
             f.box("txtReadFile(1)")->isReadOnly();
      blue = blue && TextColour(f.box("txtDiffFile")) == QColor(0, 0, 255);
      QTest::mouseClick(f.button("cmdSort(1)"), Qt::LeftButton);
    });
    clock.start();
    timer.start();
    f.window().cmdDiff_Click();
    timer.stop();
    longestGap = std::max(longestGap, clock.elapsed() - last);
    qInfo("compare of %d routes a side took %lld ms: %d timer ticks, longest gap %lld ms", routes,
          clock.elapsed(), ticks, longestGap);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(U("\n"))));
    QVERIFY(ticks > 0);
    QVERIFY(held);
    QVERIFY(blue);
    const QByteArray summary = " " + QByteArray::number(routes / 100) + " の違いがあります\r\n";
    QVERIFY(Read(f.Path("after.dif")).endsWith(summary));
    QVERIFY(!QFile::exists(f.Path("before.s1")));  // the click during the run sorted nothing
    QVERIFY(f.button("cmdDiff")->isEnabled());
    QVERIFY(f.item("mFileDiff")->isEnabled());
    QVERIFY(!f.box("txtReadFile(1)")->isReadOnly());
    QCOMPARE(TextColour(f.box("txtDiffFile")), QColor(255, 0, 0));
  }
};

QTEST_MAIN(RunTest)
#include "run_test.moc"
