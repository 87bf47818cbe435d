// Output names, colours, enabled commands, extensions, browse and drops.
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "window_fixture.h"

using namespace kestrelon::testing;
using Kind = kestrelon::ui::frmKestrelon::FileDialogKind;

namespace {

const QColor kRed(255, 0, 0);
const char* const kNameBoxes[] = {"txtReadFile(1)", "txtWriteFile(1)", "txtReadFile(2)",
                                  "txtWriteFile(2)", "txtDiffFile"};

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

QStringList NameBoxTexts(WindowFixture& f) {
  QStringList texts;
  for (const char* name : kNameBoxes) {
    texts.append(f.box(name)->text());
  }
  return texts;
}

}  // namespace

class FileNamesTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The derivation itself is the core's; here, that each box follows its input and extension,
  // and that the extensions are stored as the derivation uses them.
  void namesFollowTheInputAndTheExtensionOfTheirSide() {
    WindowFixture f;
    f.box("txtFileExt(1)")->setText(U("srt"));
    f.box("txtFileExt(2)")->setText(U(".s2"));
    f.box("txtFileExt(3)")->setText(U("..x"));
    QCOMPARE((QStringList{f.Setting("SortExt1"), f.Setting("SortExt2"), f.Setting("DiffExt")}),
             (QStringList{U(".srt"), U(".s2"), U("..x")}));
    f.box("txtReadFile(1)")->setText(U("C:\\old.logs\\r1"));
    f.box("txtReadFile(2)")->setText(U("/logs/after.log"));
    QCOMPARE(NameBoxTexts(f),
             (QStringList{U("C:\\old.logs\\r1"), U("C:\\old.logs\\r1.srt"), U("/logs/after.log"),
                          U("/logs/after.s2"), U("/logs/after..x")}));
    // Setting a text that does not change it runs no handler; an extension change derives its
    // side anew, over names typed by hand, and leaves the other side alone.
    for (const char* output : {"txtWriteFile(1)", "txtWriteFile(2)", "txtDiffFile"}) {
      f.box(output)->setText(U("typed by hand"));
    }
    f.box("txtReadFile(1)")->setText(U("C:\\old.logs\\r1"));
    f.box("txtFileExt(3)")->setText(U("new"));
    QCOMPARE(NameBoxTexts(f).mid(1), (QStringList{U("typed by hand"), U("/logs/after.log"),
                                                  U("/logs/after.s2"), U("/logs/after.new")}));
    f.box("txtFileExt(1)")->clear();
    QCOMPARE(f.Setting("SortExt1"), U("."));
    QCOMPARE(f.box("txtWriteFile(1)")->text(), U("C:\\old.logs\\r1."));
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
    f.box("txtReadFile(1)")->setText(f.Path(""));  // a folder is no input
    QCOMPARE(enabled(), (QList<bool>{false, false, true, true, false, false}));
  }

  void outputColoursFollowExistence() {
    WindowFixture f;
    f.window().show();
    for (const char* name : {"txtWriteFile(1)", "txtWriteFile(2)", "txtDiffFile"}) {
      QLineEdit* box = f.box(name);
      box->clear();
      QTest::keyClicks(box, f.MakeFile("result.srt"));
      QCOMPARE(TextColour(box), kRed);
      QTest::keyClicks(box, U("x"));
      QCOMPARE(TextColour(box), WindowText(box));
      QTest::keyClick(box, Qt::Key_Backspace);
      QCOMPARE(TextColour(box), kRed);
      f.window().ShowWriting(box);
      QCOMPARE(TextColour(box), QColor(0, 0, 255));
    }
    // A derived name is coloured too.
    f.box("txtFileExt(1)")->setText(U("srt"));
    f.box("txtReadFile(1)")->setText(f.Path("result.log"));
    QCOMPARE(TextColour(f.box("txtWriteFile(1)")), kRed);
  }

  // Each browse entry opens its dialog from the box's text; cancelled, nothing changes.
  void browse() {
    const char* const entries[][2] = {
        {"cmdBrowseRead(1)", "txtReadFile(1)"},   {"cmdBrowseRead(2)", "txtReadFile(2)"},
        {"mFileOpen(1)", "txtReadFile(1)"},       {"mFileOpen(2)", "txtReadFile(2)"},
        {"cmdBrowseWrite(1)", "txtWriteFile(1)"}, {"cmdBrowseWrite(2)", "txtWriteFile(2)"},
        {"cmdBrowseDiff", "txtDiffFile"}};
    for (const auto& [entry, boxName] : entries) {
      WindowFixture f;
      QLineEdit* box = f.box(boxName);
      box->setText(U("/start/name.log"));
      QStringList asked;
      std::optional<QString> answer;
      f.window().setFileDialog([&](Kind kind, const QString& initial) {
        asked << (kind == Kind::Open ? U("open ") : U("save ")) + initial;
        return answer;
      });
      for (const QString& chosen : {QString(), f.MakeFile("chosen.log")}) {
        answer = chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
        if (auto* button = f.window().findChild<QPushButton*>(U(entry))) {
          button->click();
        } else {
          f.item(entry)->trigger();
        }
        QCOMPARE(box->text(), chosen.isEmpty() ? U("/start/name.log") : chosen);
      }
      const QString kind = U(boxName).startsWith(U("txtRead")) ? U("open ") : U("save ");
      QCOMPARE(asked, (QStringList{kind + U("/start/name.log"), kind + U("/start/name.log")}));
    }
  }

  void drops_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("side");
    const int sides[] = {1, 1, 2, 2, 2};
    for (int i = 0; i < 5; ++i) {
      QTest::newRow(kNameBoxes[i]) << U(kNameBoxes[i]) << sides[i];
    }
  }

  // Files set the input of the box's side (the first file); a drop without a local file is
  // refused and changes nothing, where a plain line edit would insert the text.
  void drops() {
    QFETCH(QString, target);
    QFETCH(int, side);
    WindowFixture f;
    f.box("txtFileExt(1)")->setText(U("s1"));
    f.box("txtFileExt(2)")->setText(U("s2"));
    f.box("txtFileExt(3)")->setText(U("dif"));
    f.box("txtReadFile(1)")->setText(U("/logs/a.log"));
    f.box("txtReadFile(2)")->setText(U("/logs/b.log"));
    QLineEdit* box = f.box(target.toUtf8().constData());
    const QStringList before = NameBoxTexts(f);
    QMimeData text, remote, files;
    text.setText(U("dropped text"));
    remote.setUrls({QUrl(U("https://example.invalid/r1.log"))});
    QVERIFY(!Drop(box, text));
    QVERIFY(!Drop(box, remote));
    QCOMPARE(NameBoxTexts(f), before);
    files.setUrls({QUrl::fromLocalFile(f.MakeFile("first.log")),
                   QUrl::fromLocalFile(f.MakeFile("second.log"))});
    QVERIFY(Drop(box, files));
    QStringList after = before;
    if (side == 1) {
      after[0] = f.Path("first.log");
      after[1] = f.Path("first.s1");
    } else {
      after[2] = f.Path("first.log");
      after[3] = f.Path("first.s2");
      after[4] = f.Path("first.dif");
    }
    QCOMPARE(NameBoxTexts(f), after);
  }
};

QTEST_MAIN(FileNamesTest)
#include "file_names_test.moc"
