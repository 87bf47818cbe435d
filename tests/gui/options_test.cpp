// The sort and filter options: menu invariants, the check boxes and their mirrors, storage.
#include <QTest>

#include "window_fixture.h"

using kestrelon::testing::U;
using kestrelon::testing::WindowFixture;

namespace {

QString Indexed(const char* base, int index) {
  return U(base) + U("(") + QString::number(index) + U(")");
}

QList<int> Checked(WindowFixture& f, const char* base) {
  QList<int> checked;
  for (int k = 0; k < 6; ++k) {
    if (f.window().findChild<QAction*>(Indexed(base, k))->isChecked()) {
      checked.append(k);
    }
  }
  return checked;
}

}  // namespace

class OptionsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Entries chosen one after the other from the start state, and the items checked after.
  void menuSequences_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<QList<int>>("checked");
    QTest::newRow("filter 1, 3") << U("mInfoDel") << QList<int>{1, 3} << QList<int>{1, 3};
    QTest::newRow("filter 1, 3, 1, 3") << U("mInfoDel") << QList<int>{1, 3, 1, 3} << QList<int>{0};
    QTest::newRow("filter 1, 2, 5") << U("mInfoDel") << QList<int>{1, 2, 5} << QList<int>{5};
    QTest::newRow("filter 1, 2, 5, 2") << U("mInfoDel") << QList<int>{1, 2, 5, 2} << QList<int>{2};
    QTest::newRow("filter 0 again") << U("mInfoDel") << QList<int>{0} << QList<int>{0};
    QTest::newRow("filter 4, 4") << U("mInfoDel") << QList<int>{4, 4} << QList<int>{4};
    QTest::newRow("filter 4, 1") << U("mInfoDel") << QList<int>{4, 1} << QList<int>{1};
    QTest::newRow("filter 2, 1, 3") << U("mInfoDel") << QList<int>{2, 1, 3} << QList<int>{1, 2, 3};
    QTest::newRow("key 3") << U("mSortKey") << QList<int>{3} << QList<int>{3};
    QTest::newRow("key 3, 3") << U("mSortKey") << QList<int>{3, 3} << QList<int>{3};
    QTest::newRow("key 0 again") << U("mSortKey") << QList<int>{0} << QList<int>{0};
    QTest::newRow("key 5, 1") << U("mSortKey") << QList<int>{5, 1} << QList<int>{1};
  }

  void menuSequences() {
    QFETCH(QString, menu);
    QFETCH(QList<int>, chosen);
    QFETCH(QList<int>, checked);
    WindowFixture f("[Kestrelon]\nEnableOpt=1\n");
    const QByteArray base = menu.toUtf8();
    for (int index : chosen) {
      f.window().findChild<QAction*>(Indexed(base.constData(), index))->trigger();
    }
    QCOMPARE(Checked(f, base.constData()), checked);
  }

  void followOptionsDrivesItsMirrorAndTheSubmenu() {
    WindowFixture f("[Kestrelon]\nEnableOpt=1\n");
    QVERIFY(f.item("mOption")->isChecked());
    QVERIFY(f.menu("mOptConfig")->menuAction()->isEnabled());
    f.item("mSortKey(4)")->trigger();
    f.item("mInfoDel(2)")->trigger();

    f.checkBox("chkOption")->click();
    QVERIFY(!f.item("mOption")->isChecked());
    QVERIFY(!f.menu("mOptConfig")->menuAction()->isEnabled());
    QCOMPARE(f.Setting("EnableOpt"), U("0"));
    // Not followed: key 0 and no filter, though the menu keeps its marks.
    kestrelon::routes::SortOptions options = f.window().CurrentSortOptions();
    QCOMPARE(options.KeyNumber(), 0);
    QVERIFY(!options.FilterActive());
    QCOMPARE(Checked(f, "mSortKey"), QList<int>{4});

    f.item("mOption")->trigger();
    QVERIFY(f.checkBox("chkOption")->isChecked());
    QVERIFY(f.item("mOption")->isChecked());
    QVERIFY(f.menu("mOptConfig")->menuAction()->isEnabled());
    QCOMPARE(f.Setting("EnableOpt"), U("1"));
    options = f.window().CurrentSortOptions();
    QCOMPARE(options.KeyNumber(), 4);
    QVERIFY(options.FilterActive());
    QVERIFY(options.infoDel[2] && !options.infoDel[0]);
  }

  void controlTogglesAndTheirMirrors_data() {
    QTest::addColumn<QString>("checkBox");
    QTest::addColumn<QString>("mirror");
    QTest::addColumn<QString>("key");
    QTest::newRow("chkOption") << U("chkOption") << U("mOption") << U("EnableOpt");
    QTest::newRow("chkFileDel") << U("chkFileDel") << U("mFileDel") << U("StoreSort");
  }

  void controlTogglesAndTheirMirrors() {
    QFETCH(QString, checkBox);
    QFETCH(QString, mirror);
    QFETCH(QString, key);
    WindowFixture f;
    QCheckBox* box = f.window().findChild<QCheckBox*>(checkBox);
    QAction* item = f.window().findChild<QAction*>(mirror);
    const QByteArray keyName = key.toLatin1();
    QVERIFY(!box->isChecked() && !item->isChecked());
    for (bool expected : {true, false, true}) {
      item->trigger();
      QCOMPARE(box->isChecked(), expected);
      QCOMPARE(item->isChecked(), expected);
      QCOMPARE(f.Setting(keyName.constData()), expected ? U("1") : U("0"));
    }
    box->click();
    QVERIFY(!item->isChecked());
    QCOMPARE(f.Setting(keyName.constData()), U("0"));
  }

  void shortcutsToggleTheOptions() {
    WindowFixture f;
    f.window().show();
    f.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.window()));
    QTest::keyClick(&f.window(), Qt::Key_T, Qt::ControlModifier);
    QVERIFY(f.checkBox("chkOption")->isChecked());
    QCOMPARE(f.Setting("EnableOpt"), U("1"));
    QTest::keyClick(&f.window(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(f.checkBox("chkFileDel")->isChecked());
    QCOMPARE(f.Setting("StoreSort"), U("1"));
  }

  void settingACheckBoxFiresOnlyOnChange() {
    WindowFixture f("[Kestrelon]\nEnableOpt=1\n");
    // A hand edit shows whether the handler wrote again.
    QFile file(f.IniPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[Kestrelon]\nEnableOpt=untouched\n");
    file.close();
    f.window().SetFollowOptions(true);
    QCOMPARE(f.Setting("EnableOpt"), U("untouched"));
    f.window().SetFollowOptions(false);
    QCOMPARE(f.Setting("EnableOpt"), U("0"));
  }

  void sortKeyAndFilterAreNeverStored() {
    WindowFixture f("[Kestrelon]\nEnableOpt=1\n");
    const QByteArray before = f.IniBytes();
    f.item("mSortKey(2)")->trigger();
    f.item("mInfoDel(1)")->trigger();
    f.item("mInfoDel(5)")->trigger();
    QCOMPARE(f.IniBytes(), before);
  }

  void optionsForcedAndRestoredAsACompareDoes() {
    WindowFixture f("[Kestrelon]\nEnableOpt=0\n");
    f.item("mSortKey(3)")->trigger();
    f.item("mInfoDel(1)")->trigger();
    const kestrelon::routes::SortOptions saved = f.window().CurrentSortOptions();
    f.window().ApplySortOptions(saved.ForcedForCompare());
    QCOMPARE(f.Setting("EnableOpt"), U("1"));
    QCOMPARE(Checked(f, "mSortKey"), QList<int>{0});
    QCOMPARE(Checked(f, "mInfoDel"), (QList<int>{1, 2}));
    QVERIFY(f.menu("mOptConfig")->menuAction()->isEnabled());
    f.window().ApplySortOptions(saved);
    QCOMPARE(f.Setting("EnableOpt"), U("0"));
    QCOMPARE(Checked(f, "mSortKey"), QList<int>{3});
    QCOMPARE(Checked(f, "mInfoDel"), QList<int>{1});
    QVERIFY(!f.menu("mOptConfig")->menuAction()->isEnabled());
  }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
