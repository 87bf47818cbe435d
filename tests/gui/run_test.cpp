// The sort and the compare run from the window: results, colours, the compare's forced and
// restored options, and failures that leave the window usable.
#include <sys/stat.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "window_fixture.h"

using namespace kestrelon::testing;

namespace {

const QByteArray kCapture =
    "R1#show ip route\r\n"
    "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d03h, Gi0/0\r\n"
    "                      [110/110] via 10.1.1.6, 2d03h, Gi0/1\r\n"
    "C        10.1.1.0/24 is directly connected, Gi0/0\r\n"
    "R1#\r\n";
const QByteArray kAfter =
    "R1#show ip route\r\n"
    "O        10.8.13.0/24 [110/110] via 10.1.1.2, 2d05h, Gi0/3\r\n"
    "                      [110/110] via 10.1.1.6, 2d05h, Gi0/1\r\n"
    "C        10.1.1.0/24 is directly connected, Gi0/0\r\n"
    "S        10.9.0.0/16 [1/0] via 10.1.1.9\r\n"
    "R1#\r\n";
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

// A file replaced by a write gets a new inode.
ino_t Inode(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QStringList Files(const WindowFixture& f) {
  return QDir(f.Path("")).entryList(QDir::Files, QDir::Name);
}

}  // namespace

class RunTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void compareForcesAndRestoresTheUsersOptions() {
    // The user's options: follow them, next-hop order, interface removed.
    WindowFixture f(kSettings);
    f.checkBox("chkOption")->setChecked(true);
    f.window().mSortKey_Click(1);
    f.window().mInfoDel_Click(1);
    f.box("txtReadFile(1)")->setText(f.MakeFile("before.log", kCapture));
    f.box("txtReadFile(2)")->setText(f.MakeFile("after.log", kAfter));
    f.window().mFileDiff_Click();
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join(U("\n"))));
    // Destination order with time and interface information removed, whatever the user's key:
    // the OSPF entry differs only in its uptime and an interface, so only the added route shows.
    QCOMPARE(QString::fromUtf8(Read(f.Path("after.dif"))),
             U("前: ") + f.Path("before.log") + U("\r\n後: ") + f.Path("after.log") +
                 U("\r\n\r\n増> S        10.9.0.0/16 [1/0] via 10.1.1.9\r\n\r\n"
                   " 1 の違いがあります\r\n"));
    // The user's options are back, EnableOpt holds the user's value again, the sort results
    // went (StoreSort 0), the result shows red.
    QVERIFY(f.checkBox("chkOption")->isChecked());
    QCOMPARE(f.Setting("EnableOpt"), U("1"));
    for (int k = 0; k < 6; ++k) {
      QCOMPARE(f.item(qPrintable(QStringLiteral("mSortKey(%1)").arg(k)))->isChecked(), k == 1);
      QCOMPARE(f.item(qPrintable(QStringLiteral("mInfoDel(%1)").arg(k)))->isChecked(), k == 1);
    }
    QCOMPARE(Files(f),
             (QStringList{U("Kestrelon.ini"), U("after.dif"), U("after.log"), U("before.log")}));
    QCOMPARE(TextColour(f.box("txtDiffFile")), QColor(255, 0, 0));
  }

  void failureIsToldAndTheWindowStaysUsable_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("told");
    QTest::newRow("input gone") << U("input gone") << U("after.log.*errno 2");
    QTest::newRow("no route lines") << U("no route lines") << U("after.log.*no route lines");
    QTest::newRow("result folder gone") << U("result folder gone") << U("no-such-folder/after.dif");
  }

  void failureIsToldAndTheWindowStaysUsable() {
    QFETCH(QString, failure);
    QFETCH(QString, told);
    WindowFixture f(kSettings);
    f.box("txtReadFile(1)")->setText(f.MakeFile("before.log", kCapture));
    f.box("txtReadFile(2)")->setText(f.MakeFile("after.log", kAfter));
    f.MakeFile("after.dif", "earlier\r\n");
    if (failure == U("input gone")) {
      QFile::remove(f.Path("after.log"));  // after the commands were enabled
    } else if (failure == U("no route lines")) {
      f.MakeFile("after.log", "R1#show ipv6 route\r\nC   2001:DB8::/64 [0/0]\r\n");
    } else {
      f.box("txtDiffFile")->setText(f.Path("no-such-folder/after.dif"));
    }
    f.window().mSortKey_Click(2);
    f.window().mInfoDel_Click(3);
    const QByteArray settings = Read(f.IniPath());
    const ino_t settingsFile = Inode(f.IniPath());
    f.window().cmdDiff_Click();
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors.front().contains(QRegularExpression(told)), qPrintable(f.errors.front()));
    // Nothing half-done: the earlier result intact, no working file, no sort result.
    QCOMPARE(Read(f.Path("after.dif")), QByteArray("earlier\r\n"));
    QStringList files = {U("Kestrelon.ini"), U("after.dif"), U("after.log"), U("before.log")};
    if (failure == U("input gone")) {
      files.removeOne(U("after.log"));
    }
    QCOMPARE(Files(f), files);
    // Options restored; forcing them was no change of the user's, so the settings file was not
    // written at all.
    QVERIFY(!f.checkBox("chkOption")->isChecked());
    QVERIFY(f.item("mSortKey(2)")->isChecked());
    QVERIFY(f.item("mInfoDel(3)")->isChecked());
    QVERIFY(!f.item("mInfoDel(2)")->isChecked());
    QCOMPARE(Read(f.IniPath()), settings);
    QCOMPARE(Inode(f.IniPath()), settingsFile);
    QCOMPARE(TextColour(f.box("txtWriteFile(1)")), QApplication::palette().color(QPalette::Text));
    QVERIFY(f.window().isEnabled());
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
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join(U("\n"))));
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
