// Output and staging names, colours, enabled commands, extensions, browse and drops.
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "window_fixture.h"

using kestrelon::testing::U;
using kestrelon::testing::WindowFixture;
using Kind = kestrelon::ui::frmKestrelon::FileDialogKind;

namespace {

const QColor kRed(255, 0, 0);

QColor TextColour(const QLineEdit* box) {
  return box->palette().color(QPalette::Text);
}
QColor WindowText(const QLineEdit* box) {
  return QApplication::palette(box).color(QPalette::Text);
}

// Sends a drop carrying data to a box, as the window system does after the drag entered it.
bool Drop(QWidget* target, const QMimeData& data) {
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return enter.isAccepted() && drop.isAccepted();
}

}  // namespace

class FileNamesTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void derivedNames_data() {
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    const char* const rows[][2] = {
        {"C:\\logs\\r1.log", "C:\\logs\\r1.srt"},
        {"C:\\logs\\r1", "C:\\logs\\r1.srt"},
        {"C:\\old.logs\\r1", "C:\\old.logs\\r1.srt"},
        {"C:\\logs\\r1.log.txt", "C:\\logs\\r1.log.srt"},
        {"C:\\logs\\r1.", "C:\\logs\\r1.srt"},
        {"C:\\logs\\.log", "C:\\logs\\.srt"},
        {"", ".srt"},
        {"/var/old.logs/r1", "/var/old.logs/r1.srt"},
        {"/var/logs/r1.log", "/var/logs/r1.srt"},
    };
    for (const char* extension : {"srt", ".srt"}) {
      for (const auto& row : rows) {
        QTest::addRow("%s [%s]", row[0], extension) << U(extension) << U(row[0]) << U(row[1]);
      }
    }
  }

  void derivedNames() {
    QFETCH(QString, extension);
    QFETCH(QString, input);
    QFETCH(QString, output);
    WindowFixture f;
    f.box("txtFileExt(1)")->setText(extension);
    f.box("txtReadFile(1)")->setText(input);
    QCOMPARE(f.box("txtWriteFile(1)")->text(), output);
    QVERIFY(!f.button("cmdSort(1)")->isEnabled());
  }

  void comparisonNameFollowsSideTwo() {
    WindowFixture f;
    f.box("txtFileExt(2)")->setText(U("s2"));
    f.box("txtFileExt(3)")->setText(U("dif"));
    f.box("txtReadFile(2)")->setText(U("/logs/after.log"));
    QCOMPARE(f.box("txtWriteFile(2)")->text(), U("/logs/after.s2"));
    QCOMPARE(f.box("txtDiffFile")->text(), U("/logs/after.dif"));
  }

  void commandsEnabledByExistingInputs() {
    WindowFixture f;
    const auto enabled = [&f] {
      return QList<bool>{f.button("cmdSort(1)")->isEnabled(), f.item("mFileSort(1)")->isEnabled(),
                         f.button("cmdSort(2)")->isEnabled(), f.item("mFileSort(2)")->isEnabled(),
                         f.button("cmdDiff")->isEnabled(),    f.item("mFileDiff")->isEnabled()};
    };
    QCOMPARE(enabled(), (QList<bool>{false, false, false, false, false, false}));
    f.box("txtReadFile(1)")->setText(f.MakeFile("before.log"));
    f.box("txtReadFile(2)")->setText(f.Path("missing.log"));
    QCOMPARE(enabled(), (QList<bool>{true, true, false, false, false, false}));
    f.box("txtReadFile(2)")->setText(f.MakeFile("after.log"));
    QCOMPARE(enabled(), (QList<bool>{true, true, true, true, true, true}));
    // A folder's own name is no input.
    f.box("txtReadFile(1)")->setText(f.Path(""));
    QCOMPARE(enabled(), (QList<bool>{false, false, true, true, false, false}));
  }

  void outputColoursFollowExistenceAsTyped_data() {
    QTest::addColumn<QString>("boxName");
    QTest::newRow("txtWriteFile(1)") << U("txtWriteFile(1)");
    QTest::newRow("txtWriteFile(2)") << U("txtWriteFile(2)");
    QTest::newRow("txtDiffFile") << U("txtDiffFile");
  }

  void outputColoursFollowExistenceAsTyped() {
    QFETCH(QString, boxName);
    WindowFixture f;
    f.window().show();
    QLineEdit* box = f.box(boxName.toUtf8().constData());
    const QString existing = f.MakeFile("result.srt");
    box->clear();
    QTest::keyClicks(box, existing);
    QCOMPARE(TextColour(box), kRed);
    QTest::keyClicks(box, U("x"));
    QCOMPARE(TextColour(box), WindowText(box));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(TextColour(box), kRed);
    f.window().ShowWriting(box);
    QCOMPARE(TextColour(box), QColor(0, 0, 255));
  }

  void derivedNameOfAnExistingFileShowsRed() {
    WindowFixture f;
    f.box("txtFileExt(1)")->setText(U("srt"));
    f.MakeFile("r1.srt");
    f.box("txtReadFile(1)")->setText(f.Path("r1.log"));
    QCOMPARE(TextColour(f.box("txtWriteFile(1)")), kRed);
    f.box("txtReadFile(1)")->setText(f.Path("r2.log"));
    QCOMPARE(TextColour(f.box("txtWriteFile(1)")), WindowText(f.box("txtWriteFile(1)")));
  }

  void extensionsAreStoredNormalized_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    const char* const keys[] = {"", "SortExt1", "SortExt2", "DiffExt"};
    for (int k = 1; k <= 3; ++k) {
      QTest::addRow("%s srt", keys[k]) << k << U("srt") << U(".srt");
      QTest::addRow("%s .srt", keys[k]) << k << U(".srt") << U(".srt");
      QTest::addRow("%s ..x", keys[k]) << k << U("..x") << U("..x");
    }
  }

  void extensionsAreStoredNormalized() {
    QFETCH(int, index);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    const char* const keys[] = {"", "SortExt1", "SortExt2", "DiffExt"};
    const char* const boxes[] = {"", "txtFileExt(1)", "txtFileExt(2)", "txtFileExt(3)"};
    WindowFixture f;
    f.window().show();
    QLineEdit* box = f.box(boxes[index]);
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), typed);
    QCOMPARE(f.Setting(keys[index]), stored);
    // Emptying the box stores a lone dot.
    box->clear();
    QCOMPARE(f.Setting(keys[index]), U("."));
  }

  void extensionChangeRederivesItsSideOnly_data() {
    QTest::addColumn<QString>("extensionBox");
    QTest::addColumn<bool>("side1");
    QTest::addColumn<bool>("side2");
    QTest::newRow("txtFileExt(1)") << U("txtFileExt(1)") << true << false;
    QTest::newRow("txtFileExt(2)") << U("txtFileExt(2)") << false << true;
    QTest::newRow("txtFileExt(3)") << U("txtFileExt(3)") << false << true;
  }

  void extensionChangeRederivesItsSideOnly() {
    QFETCH(QString, extensionBox);
    QFETCH(bool, side1);
    QFETCH(bool, side2);
    WindowFixture f;
    f.box("txtReadFile(1)")->setText(U("/logs/a.log"));
    f.box("txtReadFile(2)")->setText(U("/logs/b.log"));
    const char* const outputs[] = {"txtWriteFile(1)", "txtWriteFile(2)", "txtDiffFile"};
    for (const char* output : outputs) {
      f.box(output)->setText(U("typed by hand"));
    }
    f.box(extensionBox.toUtf8().constData())->setText(U("new"));
    const bool rederived[] = {side1, side2, side2};
    for (int n = 0; n < 3; ++n) {
      QCOMPARE(f.box(outputs[n])->text() != U("typed by hand"), rederived[n]);
    }
  }

  void settingATextFiresOnlyOnChange() {
    WindowFixture f;
    f.box("txtReadFile(1)")->setText(U("/logs/a.log"));
    f.box("txtWriteFile(1)")->setText(U("typed by hand"));
    f.box("txtReadFile(1)")->setText(U("/logs/a.log"));
    QCOMPARE(f.box("txtWriteFile(1)")->text(), U("typed by hand"));
    f.box("txtReadFile(1)")->setText(U("/logs/b.log"));
    QCOMPARE(f.box("txtWriteFile(1)")->text(), U("/logs/b"));
  }

  void browse_data() {
    QTest::addColumn<QString>("entry");  // a button, or a menu entry
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<int>("kind");
    QTest::newRow("cmdBrowseRead(1)")
        << U("cmdBrowseRead(1)") << U("txtReadFile(1)") << int(Kind::Open);
    QTest::newRow("cmdBrowseRead(2)")
        << U("cmdBrowseRead(2)") << U("txtReadFile(2)") << int(Kind::Open);
    QTest::newRow("mFileOpen(1)") << U("mFileOpen(1)") << U("txtReadFile(1)") << int(Kind::Open);
    QTest::newRow("mFileOpen(2)") << U("mFileOpen(2)") << U("txtReadFile(2)") << int(Kind::Open);
    QTest::newRow("cmdBrowseWrite(1)")
        << U("cmdBrowseWrite(1)") << U("txtWriteFile(1)") << int(Kind::Save);
    QTest::newRow("cmdBrowseWrite(2)")
        << U("cmdBrowseWrite(2)") << U("txtWriteFile(2)") << int(Kind::Save);
    QTest::newRow("cmdBrowseDiff") << U("cmdBrowseDiff") << U("txtDiffFile") << int(Kind::Save);
  }

  void browse() {
    QFETCH(QString, entry);
    QFETCH(QString, boxName);
    QFETCH(int, kind);
    WindowFixture f;
    QLineEdit* box = f.box(boxName.toUtf8().constData());
    box->setText(U("/start/name.log"));
    const QString before = box->text();
    const auto choose = [&f, &entry] {
      if (auto* button = f.window().findChild<QPushButton*>(entry)) {
        button->click();
      } else {
        f.window().findChild<QAction*>(entry)->trigger();
      }
    };

    int calls = 0;
    f.window().setFileDialog([&](Kind asked, const QString& initial) -> std::optional<QString> {
      ++calls;
      if (int(asked) != kind || initial != before) {
        return U("wrong dialog");
      }
      return std::nullopt;
    });
    choose();
    QCOMPARE(calls, 1);
    QCOMPARE(box->text(), before);

    const QString chosen = f.MakeFile("chosen.log");
    f.window().setFileDialog([&](Kind, const QString&) { return std::optional<QString>(chosen); });
    choose();
    QCOMPARE(box->text(), chosen);
  }

  void browsedInputRederivesItsOutput() {
    WindowFixture f;
    const QString chosen = f.MakeFile("r1.log");
    f.window().setFileDialog([&](Kind, const QString&) { return std::optional<QString>(chosen); });
    f.window().cmdBrowseRead_Click(1);
    // No extension stored yet: the output is the input without its extension.
    QCOMPARE(f.box("txtWriteFile(1)")->text(), f.Path("r1"));
    QVERIFY(f.button("cmdSort(1)")->isEnabled());
  }

  void dropOfFilesSetsTheInputOfItsSide_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("input");
    QTest::newRow("txtReadFile(1)") << U("txtReadFile(1)") << U("txtReadFile(1)");
    QTest::newRow("txtWriteFile(1)") << U("txtWriteFile(1)") << U("txtReadFile(1)");
    QTest::newRow("txtReadFile(2)") << U("txtReadFile(2)") << U("txtReadFile(2)");
    QTest::newRow("txtWriteFile(2)") << U("txtWriteFile(2)") << U("txtReadFile(2)");
    QTest::newRow("txtDiffFile") << U("txtDiffFile") << U("txtReadFile(2)");
  }

  void dropOfFilesSetsTheInputOfItsSide() {
    QFETCH(QString, target);
    QFETCH(QString, input);
    WindowFixture f;
    f.box("txtFileExt(1)")->setText(U("s1"));
    f.box("txtFileExt(2)")->setText(U("s2"));
    f.box("txtFileExt(3)")->setText(U("dif"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(f.MakeFile("first.log")),
                  QUrl::fromLocalFile(f.MakeFile("second.log")),
                  QUrl::fromLocalFile(f.MakeFile("third.log"))});
    QVERIFY(Drop(f.box(target.toUtf8().constData()), data));
    QCOMPARE(f.box(input.toUtf8().constData())->text(), f.Path("first.log"));
    // The outputs follow the dropped input, the drop target included.
    if (input == U("txtReadFile(1)")) {
      QCOMPARE(f.box("txtWriteFile(1)")->text(), f.Path("first.s1"));
    } else {
      QCOMPARE(f.box("txtWriteFile(2)")->text(), f.Path("first.s2"));
      QCOMPARE(f.box("txtDiffFile")->text(), f.Path("first.dif"));
    }
  }

  void dropWithoutFilesChangesNothing_data() {
    QTest::addColumn<QString>("target");
    for (const char* name : {"txtReadFile(1)", "txtWriteFile(1)", "txtReadFile(2)",
                             "txtWriteFile(2)", "txtDiffFile"}) {
      QTest::newRow(name) << U(name);
    }
  }

  void dropWithoutFilesChangesNothing() {
    QFETCH(QString, target);
    WindowFixture f;
    f.box("txtReadFile(1)")->setText(U("/logs/a.log"));
    f.box("txtReadFile(2)")->setText(U("/logs/b.log"));
    const char* const all[] = {"txtReadFile(1)", "txtWriteFile(1)", "txtReadFile(2)",
                               "txtWriteFile(2)", "txtDiffFile"};
    QStringList before;
    for (const char* name : all) {
      before.append(f.box(name)->text());
    }
    QMimeData text;
    text.setText(U("dropped text"));
    QVERIFY(!Drop(f.box(target.toUtf8().constData()), text));
    QMimeData remote;
    remote.setUrls({QUrl(U("https://example.invalid/r1.log"))});
    QVERIFY(!Drop(f.box(target.toUtf8().constData()), remote));
    QStringList after;
    for (const char* name : all) {
      after.append(f.box(name)->text());
    }
    QCOMPARE(after, before);
  }
};

QTEST_MAIN(FileNamesTest)
#include "file_names_test.moc"
