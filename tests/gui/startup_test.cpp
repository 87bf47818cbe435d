// Start-up: the settings file's place, the five settings restored, the end of the program.
#include <sys/stat.h>

#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <optional>

#include "window_fixture.h"

using kestrelon::testing::U;
using kestrelon::testing::WindowFixture;

class StartupTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void noSettingsFile() {
    WindowFixture f;
    for (const char* name : {"chkOption", "chkFileDel"}) {
      QVERIFY2(!f.checkBox(name)->isChecked(), name);
    }
    QVERIFY(!f.item("mOption")->isChecked());
    QVERIFY(!f.item("mFileDel")->isChecked());
    QVERIFY(!f.menu("mOptConfig")->menuAction()->isEnabled());
    for (const char* name : {"txtFileExt(1)", "txtFileExt(2)", "txtFileExt(3)"}) {
      QVERIFY2(f.box(name)->text().isEmpty(), name);
    }
    QCOMPARE(f.Setting("EnableOpt"), U("0"));
    QCOMPARE(f.Setting("StoreSort"), U("0"));
    const QByteArray written = f.IniBytes();
    QVERIFY(!written.contains("SortExt"));
    QVERIFY(!written.contains("DiffExt"));
    // The menus start at their defaults.
    QVERIFY(f.item("mSortKey(0)")->isChecked());
    QVERIFY(f.item("mInfoDel(0)")->isChecked());
    // Nothing enabled for the empty inputs.
    QVERIFY(!f.button("cmdSort(1)")->isEnabled());
    QVERIFY(!f.item("mFileDiff")->isEnabled());
  }

  void storedCheckStates_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("checked");
    QTest::newRow("1") << QByteArray("1") << true;
    QTest::newRow("1.4") << QByteArray("1.4") << true;
    QTest::newRow("0.5") << QByteArray("0.5") << false;
    QTest::newRow("0.6") << QByteArray("0.6") << true;
    QTest::newRow("1.5") << QByteArray("1.5") << false;
    QTest::newRow("abc") << QByteArray("abc") << false;
    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("0") << QByteArray("0") << false;
    QTest::newRow("5") << QByteArray("5") << false;
    QTest::newRow("-1") << QByteArray("-1") << false;
  }

  void storedCheckStates() {
    QFETCH(QByteArray, stored);
    QFETCH(bool, checked);
    const QByteArray settings =
        "[Kestrelon]\r\nEnableOpt=" + stored + "\r\nStoreSort=" + stored + "\r\n";
    WindowFixture f(settings.constData());
    QCOMPARE(f.checkBox("chkOption")->isChecked(), checked);
    QCOMPARE(f.item("mOption")->isChecked(), checked);
    QCOMPARE(f.menu("mOptConfig")->menuAction()->isEnabled(), checked);
    QCOMPARE(f.checkBox("chkFileDel")->isChecked(), checked);
    QCOMPARE(f.item("mFileDel")->isChecked(), checked);
    // An unchecked box was changed from its checked design state, so 0 was written back.
    if (!checked) {
      QCOMPARE(f.Setting("EnableOpt"), U("0"));
      QCOMPARE(f.Setting("StoreSort"), U("0"));
    }
  }

  void storedExtensionsFillTheBoxes() {
    WindowFixture f("[Kestrelon]\r\nSortExt1=srt\r\nSortExt2=.s2\r\nDiffExt=dif\r\n");
    QCOMPARE(f.box("txtFileExt(1)")->text(), U("srt"));
    QCOMPARE(f.box("txtFileExt(2)")->text(), U(".s2"));
    QCOMPARE(f.box("txtFileExt(3)")->text(), U("dif"));
    QCOMPARE(f.Setting("SortExt1"), U(".srt"));
    QCOMPARE(f.Setting("SortExt2"), U(".s2"));
    QCOMPARE(f.Setting("DiffExt"), U(".dif"));
    f.box("txtReadFile(2)")->setText(U("/logs/after.log"));
    QCOMPARE(f.box("txtWriteFile(2)")->text(), U("/logs/after.s2"));
    QCOMPARE(f.box("txtDiffFile")->text(), U("/logs/after.dif"));
  }

  void settingsFileBesideTheProgram_data() {
    QTest::addColumn<bool>("trailingSeparator");
    QTest::newRow("folder") << false;
    QTest::newRow("folder/") << true;
  }

  void settingsFileBesideTheProgram() {
    QFETCH(bool, trailingSeparator);
    QTemporaryDir folder;
    const QString given = folder.path() + (trailingSeparator ? U("/") : QString());
    kestrelon::ui::frmKestrelon window(given);
    QVERIFY(QFile::exists(folder.filePath(U("Kestrelon.ini"))));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{U("Kestrelon.ini")});
  }

  // An installed program cannot write its own folder: the settings go to the user's folder,
  // are read back from there, and nothing is left in the program's folder.
  void settingsFileInTheUserFolderWhenTheProgramsCannotBeWritten() {
    QTemporaryDir config;
    QTemporaryDir programs;
    const QString readOnly = programs.filePath(U("missing/bin"));  // nothing can be created there
    const std::optional<QByteArray> saved =
        qEnvironmentVariableIsSet("XDG_CONFIG_HOME")
            ? std::optional<QByteArray>(qgetenv("XDG_CONFIG_HOME"))
            : std::nullopt;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const auto restore = qScopeGuard(
        [&saved] { saved ? qputenv("XDG_CONFIG_HOME", *saved) : qunsetenv("XDG_CONFIG_HOME"); });
    {
      kestrelon::ui::frmKestrelon window(readOnly);
      window.findChild<QLineEdit*>(U("txtFileExt(1)"))->setText(U("srt"));
    }
    const QString userFile = config.filePath(U("kestrelon/Kestrelon.ini"));
    QVERIFY(QFile::exists(userFile));
    QVERIFY(!QFileInfo::exists(readOnly));
    kestrelon::ui::frmKestrelon again(readOnly);
    QCOMPARE(again.findChild<QLineEdit*>(U("txtFileExt(1)"))->text(), U(".srt"));
  }

  // A run that could not read its settings never writes them, even once they can be read: its
  // state came from the defaults, not from the user's file.
  void unreadableSettingsAreNeverWritten() {
    QTemporaryDir folder;
    const QString ini = folder.filePath(U("Kestrelon.ini"));
    QVERIFY(::mkfifo(QFile::encodeName(ini).constData(), 0600) == 0);
    kestrelon::ui::frmKestrelon window(folder.path());
    QVERIFY(QFile::remove(ini));
    const QByteArray users = "[Kestrelon]\nEnableOpt=1\nDiffExt=.dif\n";
    {
      QFile file(ini);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(users);
    }
    window.findChild<QCheckBox*>(U("chkOption"))->setChecked(true);
    window.findChild<QLineEdit*>(U("txtFileExt(1)"))->setText(U("srt"));
    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), users);
  }

  void endClosesAndSavesNothing() {
    WindowFixture f;
    f.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
    f.box("txtReadFile(1)")->setText(U("/logs/a.log"));
    const QByteArray before = f.IniBytes();
    f.item("mEnd")->trigger();
    QVERIFY(!f.window().isVisible());
    QCOMPARE(f.IniBytes(), before);
  }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
