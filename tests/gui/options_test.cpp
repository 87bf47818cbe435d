// The settings restored at start-up and stored as they change, the sort and filter menus, the
// check boxes and their mirrors, the end of the program.
#include <sys/stat.h>
#include <QDir>
#include <QTest>

#include "window_fixture.h"

using namespace kestrelon::testing;

namespace {

QList<int> Checked(WindowFixture& f, const char* menu) {
  QList<int> checked;
  for (int k = 0; k < 6; ++k) {
    if (f.item(qPrintable(QStringLiteral("%1(%2)").arg(U(menu)).arg(k)))->isChecked()) {
      checked.append(k);
    }
  }
  return checked;
}

}  // namespace

class OptionsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void noSettingsFile() {
    WindowFixture f;
    QVERIFY(!f.checkBox("chkOption")->isChecked() && !f.item("mOption")->isChecked());
    QVERIFY(!f.checkBox("chkFileDel")->isChecked() && !f.item("mFileDel")->isChecked());
    QVERIFY(!f.menu("mOptConfig")->menuAction()->isEnabled());
    QVERIFY(f.box("txtFileExt(1)")->text().isEmpty() && f.box("txtFileExt(3)")->text().isEmpty());
    QCOMPARE(Checked(f, "mSortKey"), QList<int>{0});
    QCOMPARE(Checked(f, "mInfoDel"), QList<int>{0});
    // The boxes changed from their checked design state store 0; no extension is stored.
    QCOMPARE(Read(f.IniPath()), QByteArray("[Kestrelon]\r\nEnableOpt=0\r\nStoreSort=0\r\n"));
  }

  void storedSettingsAreRestored_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("checked");
    const std::pair<const char*, bool> rows[] = {{"1", true},    {"1.4", true},  {"0.6", true},
                                                 {"0.5", false}, {"1.5", false}, {"-1", false}};
    for (const auto& [stored, checked] : rows) {
      QTest::newRow(stored) << QByteArray(stored) << checked;
    }
  }

  void storedSettingsAreRestored() {
    QFETCH(QByteArray, stored);
    QFETCH(bool, checked);
    const QByteArray settings =
        "[Kestrelon]\r\nSortExt1=srt\r\nSortExt2=.s2\r\nEnableOpt=" + stored +
        "\r\nStoreSort=" + stored + "\r\n";
    WindowFixture f(settings.constData());
    QCOMPARE(f.checkBox("chkOption")->isChecked(), checked);
    QCOMPARE(f.item("mOption")->isChecked(), checked);
    QCOMPARE(f.menu("mOptConfig")->menuAction()->isEnabled(), checked);
    QCOMPARE(f.checkBox("chkFileDel")->isChecked(), checked);
    QCOMPARE(f.item("mFileDel")->isChecked(), checked);
    QCOMPARE(f.Setting("StoreSort"), checked ? U(stored.constData()) : U("0"));
    QCOMPARE(f.box("txtFileExt(1)")->text(), U("srt"));
    QCOMPARE(f.Setting("SortExt1"), U(".srt"));
    QCOMPARE(f.box("txtFileExt(2)")->text(), U(".s2"));
  }

  // Entries chosen one after the other from the start state, and the items checked after.
  void menuSequences_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<QList<int>>("checked");
    const std::tuple<const char*, QList<int>, QList<int>> rows[] = {
        {"mInfoDel", {1, 3}, {1, 3}}, {"mInfoDel", {1, 3, 1, 3}, {0}},
        {"mInfoDel", {1, 2, 5}, {5}}, {"mInfoDel", {1, 2, 5, 2}, {2}},
        {"mInfoDel", {4, 4}, {4}},    {"mInfoDel", {4, 1}, {1}},
        {"mSortKey", {5, 1}, {1}},    {"mSortKey", {3, 3}, {3}}};
    for (const auto& [menu, chosen, checked] : rows) {
      QStringList names;
      for (const int index : chosen) {
        names.append(QString::number(index));
      }
      QTest::addRow("%s %s", menu, qPrintable(names.join(U(", ")))) << U(menu) << chosen << checked;
    }
  }

  void menuSequences() {
    QFETCH(QString, menu);
    QFETCH(QList<int>, chosen);
    QFETCH(QList<int>, checked);
    WindowFixture f("[Kestrelon]\nEnableOpt=1\n");
    const QByteArray base = menu.toUtf8();
    const QByteArray settings = Read(f.IniPath());
    for (int index : chosen) {
      f.item(qPrintable(QStringLiteral("%1(%2)").arg(menu).arg(index)))->trigger();
    }
    QCOMPARE(Checked(f, base.constData()), checked);
    QCOMPARE(Read(f.IniPath()), settings);  // never stored
  }

  void followOptionsDrivesTheSortOptions() {
    WindowFixture f("[Kestrelon]\nEnableOpt=1\n");
    f.item("mSortKey(4)")->trigger();
    f.item("mInfoDel(2)")->trigger();
    f.checkBox("chkOption")->click();
    QVERIFY(!f.menu("mOptConfig")->menuAction()->isEnabled());
    // Not followed: key 0 and no filter, though the menus keep their marks.
    kestrelon::routes::SortOptions options = f.window().CurrentSortOptions();
    QVERIFY(options.KeyNumber() == 0 && !options.FilterActive());
    QCOMPARE(Checked(f, "mSortKey"), QList<int>{4});
    f.item("mOption")->trigger();
    QVERIFY(f.checkBox("chkOption")->isChecked());
    QVERIFY(f.menu("mOptConfig")->menuAction()->isEnabled());
    options = f.window().CurrentSortOptions();
    QVERIFY(options.KeyNumber() == 4 && options.infoDel[2] && !options.infoDel[0]);
  }

  void checkBoxesAndTheirMirrorsStoreTheirState_data() {
    QTest::addColumn<QString>("checkBox");
    QTest::addColumn<QString>("mirror");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("shortcut");
    QTest::newRow("chkOption") << U("chkOption") << U("mOption") << U("EnableOpt")
                               << int(Qt::Key_T);
    QTest::newRow("chkFileDel") << U("chkFileDel") << U("mFileDel") << U("StoreSort")
                                << int(Qt::Key_F);
  }

  void checkBoxesAndTheirMirrorsStoreTheirState() {
    QFETCH(QString, checkBox);
    QFETCH(QString, mirror);
    QFETCH(QString, key);
    QFETCH(int, shortcut);
    WindowFixture f;
    f.window().show();
    f.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.window()));
    QCheckBox* box = f.checkBox(checkBox.toLatin1().constData());
    QAction* item = f.item(mirror.toLatin1().constData());
    const QByteArray keyName = key.toLatin1();
    for (bool expected : {true, false, true}) {
      item->trigger();
      QCOMPARE(box->isChecked(), expected);
      QCOMPARE(item->isChecked(), expected);
      QCOMPARE(f.Setting(keyName.constData()), expected ? U("1") : U("0"));
    }
    box->click();
    QVERIFY(!item->isChecked());
    QCOMPARE(f.Setting(keyName.constData()), U("0"));
    QTest::keyClick(&f.window(), Qt::Key(shortcut), Qt::ControlModifier);
    QVERIFY(box->isChecked());
    QCOMPARE(f.Setting(keyName.constData()), U("1"));
    // Set to the state it has, the box runs no handler: a hand edit stays.
    Write(f.IniPath(), "[Kestrelon]\nEnableOpt=untouched\nStoreSort=untouched\n");
    box->setChecked(true);
    QCOMPARE(f.Setting(keyName.constData()), U("untouched"));
  }

  // The settings file is beside the program (a trailing separator changes nothing). A run that
  // could not read it never writes it, even once it can be read: its state came from the
  // defaults, not from the user's file.
  void settingsFileBesideTheProgram() {
    QTemporaryDir folder;
    { kestrelon::ui::frmKestrelon window(folder.path() + U("/")); }
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{U("Kestrelon.ini")});
    const QString ini = folder.filePath(U("Kestrelon.ini"));
    QVERIFY(QFile::remove(ini));
    QVERIFY(::mkfifo(QFile::encodeName(ini).constData(), 0600) == 0);
    kestrelon::ui::frmKestrelon window(folder.path());
    QVERIFY(QFile::remove(ini));
    Write(ini, "[Kestrelon]\nEnableOpt=1\nDiffExt=.dif\n");
    window.findChild<QCheckBox*>(U("chkOption"))->setChecked(true);
    window.findChild<QLineEdit*>(U("txtFileExt(1)"))->setText(U("srt"));
    QCOMPARE(Read(ini), QByteArray("[Kestrelon]\nEnableOpt=1\nDiffExt=.dif\n"));
  }

  void endClosesAndSavesNothing() {
    WindowFixture f;
    f.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
    f.box("txtReadFile(1)")->setText(U("/logs/a.log"));
    const QByteArray before = Read(f.IniPath());
    f.item("mEnd")->trigger();
    QVERIFY(!f.window().isVisible());
    QCOMPARE(Read(f.IniPath()), before);
  }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
