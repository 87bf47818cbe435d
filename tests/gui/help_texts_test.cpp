// The Help menu's texts, word for word, the version line, and the message boxes that show them.
#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "kestrelon/version.h"
#include "ui/help_texts.h"
#include "ui/main_window.h"

using namespace kestrelon::ui;

namespace {

QString U(const char* text) {
  return QString::fromUtf8(text);
}

// Lines as the user reads them; "    " at the start of a line stands for the four full-width
// spaces of the indented lines.
QString Lines(std::initializer_list<const char*> lines) {
  QString text;
  for (const char* line : lines) {
    QString l = U(line);
    if (l.startsWith(U("    "))) {
      l = QString(4, QChar(0x3000)) + l.mid(4);
    }
    text += l + U("\r\n");
  }
  return text;
}

}  // namespace

class HelpTextsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void texts_data() {
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    QTest::newRow("mHowTo1")
        << HowToSortText()
        << Lines({
               "● ソートする場合",
               "",
               "１．ログファイルを指定します",
               "",
               "    [参照]でファイルを選択するか、ファイル名入力欄にファイルをドロップします。",
               "    "
               "出力ファイル名は、指定された拡張子のものが自動で表示されますが、自由にファイル名を"
               "編集可能です。",
               "",
               "２．オプションを指定します",
               "",
               "    何を基準にソートするかを指定します。",
               "    不要な情報のフィルタリングを指定します。　※ "
               "次回のプログラム起動時にはデフォルト状態に戻ります",
               "",
               "３．[ソートする]ボタンをクリックします",
               "",
               "    処理中にはソート結果のファイル名表示が青くなります。",
               "    処理が完了するとソート結果のファイル名表示が赤くなります。",
           });
    QTest::newRow("mHowTo2")
        << HowToCompareText()
        << Lines({
               "● 比較する場合",
               "",
               "１．ログファイルを２つ指定します",
               "",
               "２．ソート結果を残すかどうか指定します",
               "",
               "    "
               "比較の処理は、前段階として２つのファイルをそれぞれ宛先アドレス順・時刻情報削除の状"
               "態でソートをします。",
               "    "
               "このソート処理の結果ファイルを残したままにするか、比較処理が完了した時点で消去する"
               "かを選択します。",
               "    ※この指定は次回のプログラム起動時にも引継がれます",
               "",
               "３．[比較する]ボタンをクリックします",
               "",
               "    処理中にはソート結果・比較結果のファイル名表示が青くなります。",
               "    処理が完了するとソート結果・比較結果のファイル名表示が赤くなります。",
           });
    QTest::newRow("mHowTo3")
        << HowToCommandText()
        << Lines({
               "● コマンドラインからバッチ処理する場合",
               "",
               "Kestrelon [OrgFileName]",
               "",
               "    引数が１つ指定された場合、それを元のファイル名としてソートをします。",
               "    出力ファイル名は、拡張子を変更したものになります。",
               "    拡張子の指定は、前回起動時に指定されていたものになります。",
               "    オプションの指定はできません。デフォルトの状態です。",
               "    処理が完了したら、自動的にプログラムが終了します。",
               "",
               "Kestrelon [BeforeFileName] [AfterFileName]",
               "",
               "    引数が２つ指定された場合、それを元のファイル名として比較をします。",
               "    出力ファイル名は、２つめに指定されたファイルの拡張子を変更したものになります。",
               "    拡張子の指定は、前回起動時に指定されていたものになります。",
               "    ソート処理の結果を残すか消去するかは、前回起動時の状態に従います。",
               "    処理が完了したら、自動的にプログラムが終了します。",
           });
    QTest::newRow("mTech1")
        << TechNotes1Text()
        << Lines({
               "内部動作１",
               "",
               "ソート／比較対象のログファイル指は、",
               "[参照]ボタンでファイル指定・ファイルをドロップ・コマンドラインからの引数",
               "の３通りが可能です。",
               "",
               "ファイルを指定すると、結果のファイル名が自動的に表示されます。",
               "拡張子を変更したものがデフォルトですが、手動でファイル名を変更可能です。",
               "拡張子は変更可能で、次回起動時にも反映されます。",
               "",
               "比較の処理は、内部で自動的に「ソート１」「ソート２」を実施した後に",
               "比較するため、事前にソートを実施する必要はありません。",
               "また時刻情報を削除した状態で比較されます。",
               "",
               "結果ファイルの表示色：",
               "黒＝存在しないファイル名＝アクションを起こすと新規作成",
               "赤＝存在するファイル名＝処理が完了した状態／アクションを起こすと上書き",
               "青＝処理中のファイル",
           });
    // The twelve lines as given; the closing paragraph names what this build needs.
    const QString tech2Head = Lines({
        "内部動作２",
        "",
        "ソート中はテンポラリファイルを作成します。",
        "元ファイルの拡張子を .(1) または .(2) に変更したもので、",
        "元ファイルとほぼ同じサイズのファイルを同じフォルダ内に作成し、",
        "ソートが完了した時点で自動消去します。",
        "",
        "出力ファイルの拡張子と、「オプションに従う」「ソート結果を残す」の状態は",
        "ini ファイルに保存します。バッチ処理などで必要な指定は、",
        "前もって指定しておくか、あるいは ini ファイルを直接編集してください。",
        "ちなみにレジストリは使用していません。",
        "",
    });
    QTest::newRow("mTech2") << TechNotes2Text().left(tech2Head.size()) << tech2Head;
    QTest::newRow("mAbout first lines")
        << AboutText().section(U("\r\n"), 0, 1) << U("試作版 Ver.0.50 です\r\n");
  }

  void texts() {
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
  }

  void shapeOfTheOpenTexts() {
    // Internal workings 2: a paragraph on where the ini file is, then five closing lines
    // naming the runtime libraries and the font.
    const QStringList tech2 = TechNotes2Text().split(U("\r\n"));
    QCOMPARE(tech2.size(), 12 + 4 + 5 + 1);
    QVERIFY(tech2.last().isEmpty());
    const QString place = tech2.mid(12, 4).join(QString());
    for (const char* needed :
         {"Kestrelon.ini", "$XDG_CONFIG_HOME/kestrelon/", "~/.config/kestrelon/"}) {
      QVERIFY2(place.contains(U(needed)), needed);
    }
    QVERIFY(tech2[15].isEmpty());
    const QString closing = tech2.mid(16).join(QString());
    for (const char* needed : {"Qt6Core", "Qt6Gui", "Qt6Widgets", "IPA"}) {
      QVERIFY2(closing.contains(U(needed)), needed);
    }
    // The version text: the version line, an empty line, two contact lines, each line ended.
    const QStringList about = AboutText().split(U("\r\n"));
    QCOMPARE(about.size(), 5);
    QCOMPARE(about[1], QString());
    QVERIFY(!about[2].isEmpty() && !about[3].isEmpty());
    QVERIFY(about[4].isEmpty());
  }

  void versionLineFollowsTheBuild() {
    QCOMPARE(VersionLine(), U("試作版 Ver.") + QString::number(kestrelon::kVersionMajor) + U(".") +
                                TwoDigitMinor(kestrelon::kVersionMinor) + U(" です"));
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
  void helpEntriesShowMessageBoxes_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::newRow("mHowTo1") << U("mHowTo1") << HowToSortText();
    QTest::newRow("mHowTo2") << U("mHowTo2") << HowToCompareText();
    QTest::newRow("mHowTo3") << U("mHowTo3") << HowToCommandText();
    QTest::newRow("mTech1") << U("mTech1") << TechNotes1Text();
    QTest::newRow("mTech2") << U("mTech2") << TechNotes2Text();
    QTest::newRow("mAbout") << U("mAbout") << AboutText();
  }

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
