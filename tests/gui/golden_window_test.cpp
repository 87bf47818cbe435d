// Every golden case through the window's own path: the options chosen in the menus and the check
// box, the names typed into the boxes, the button pressed. The window must write the same bytes
// as the core alone.
#include <QDir>
#include <QTest>

#include "window_fixture.h"

using namespace kestrelon::testing;

namespace {

const QString kGolden = U(KESTRELON_TEST_DATA "/golden/");

}  // namespace

class GoldenWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void cases_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("input1");
    QTest::addColumn<QString>("input2");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("filter");
    QTest::addColumn<QString>("expected");
    const QList<QByteArray> rows = Read(kGolden + U("MANIFEST.tsv")).split('\n');
    for (qsizetype i = 1; i < rows.size(); ++i) {
      const QStringList fields = QString::fromUtf8(rows[i]).split(QLatin1Char('\t'));
      if (fields.size() >= 6) {
        QTest::newRow(qPrintable(fields[5]))
            << fields[0] << fields[1] << fields[2] << fields[3].mid(4).toInt()
            << fields[4].mid(7).split(QLatin1Char(',')) << fields[5];
      }
    }
    QVERIFY(rows.size() > 20);
  }

  void cases() {
    QFETCH(QString, kind);
    QFETCH(QString, input1);
    QFETCH(QString, input2);
    QFETCH(int, key);
    QFETCH(QStringList, filter);
    QFETCH(QString, expected);
    WindowFixture f("[Kestrelon]\r\nSortExt1=.s1\r\nSortExt2=.s2\r\nDiffExt=.dif\r\n");
    // The header lines name the inputs as typed: relative names, as the expected files hold.
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(f.Path("")));
    for (const QString& input : {input1, input2}) {
      QVERIFY(input == U("-") || QFile::copy(kGolden + input, input));
    }
    f.checkBox("chkOption")->setChecked(kind != U("sort-no-options"));
    f.window().mSortKey_Click(key);
    for (const QString& item : filter) {
      f.window().mInfoDel_Click(item.toInt());
    }
    f.box("txtReadFile(1)")->setText(input1);
    QString written;
    if (kind == U("compare")) {
      f.box("txtReadFile(2)")->setText(input2);
      QTest::mouseClick(f.button("cmdDiff"), Qt::LeftButton);
      written = f.box("txtDiffFile")->text();
    } else {
      QTest::mouseClick(f.button("cmdSort(1)"), Qt::LeftButton);
      written = f.box("txtWriteFile(1)")->text();
    }
    const QByteArray bytes = Read(written);
    QDir::setCurrent(saved);
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join(U("\n"))));
    QCOMPARE(bytes, Read(kGolden + expected));
  }
};

QTEST_MAIN(GoldenWindowTest)
#include "golden_window_test.moc"
