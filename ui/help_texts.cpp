#include "ui/help_texts.h"

#include <initializer_list>

#include "kestrelon/version.h"

namespace kestrelon::ui {

namespace {

// The indent of the explaining lines: four ideographic spaces.
const char kIndent[] = "\u3000\u3000\u3000\u3000";

// Where the ini file of an installed program goes.
#if defined(Q_OS_WIN)
const char kUserIniLine[] = "%LOCALAPPDATA%\\kestrelon\\Kestrelon.ini を使います。";
#else
const char kUserIniLine[] =
    "$XDG_CONFIG_HOME/kestrelon/Kestrelon.ini（未設定なら ~/.config/kestrelon/）を使います。";
#endif

QString JoinLines(std::initializer_list<const char*> lines) {
  QString text;
  for (const char* line : lines) {
    text += QString::fromUtf8(line);
    text += QStringLiteral("\r\n");
  }
  return text;
}

QString Indented(const char* line) {
  return QString::fromUtf8(kIndent) + QString::fromUtf8(line);
}

}  // namespace

QString HowToSortText() {
  QString text = JoinLines({"● ソートする場合", "", "１．ログファイルを指定します", ""});
  text +=
      Indented("[参照]でファイルを選択するか、ファイル名入力欄にファイルをドロップします。\r\n");
  text += Indented(
      "出力ファイル名は、指定された拡張子のものが自動で表示されますが、自由にファイル名を編集可能"
      "です。\r\n");
  text += JoinLines({"", "２．オプションを指定します", ""});
  text += Indented("何を基準にソートするかを指定します。\r\n");
  text += Indented(
      "不要な情報のフィルタリングを指定します。　※ 次回のプログラム起動時にはデフォルト状態に戻り"
      "ます\r\n");
  text += JoinLines({"", "３．[ソートする]ボタンをクリックします", ""});
  text += Indented("処理中にはソート結果のファイル名表示が青くなります。\r\n");
  text += Indented("処理が完了するとソート結果のファイル名表示が赤くなります。\r\n");
  return text;
}

QString HowToCompareText() {
  QString text = JoinLines({"● 比較する場合", "", "１．ログファイルを２つ指定します", "",
                            "２．ソート結果を残すかどうか指定します", ""});
  text += Indented(
      "比較の処理は、前段階として２つのファイルをそれぞれ宛先アドレス順・時刻情報削除の状態でソー"
      "トをします。\r\n");
  text += Indented(
      "このソート処理の結果ファイルを残したままにするか、比較処理が完了した時点で消去するかを選択"
      "します。\r\n");
  text += Indented("※この指定は次回のプログラム起動時にも引継がれます\r\n");
  text += JoinLines({"", "３．[比較する]ボタンをクリックします", ""});
  text += Indented("処理中にはソート結果・比較結果のファイル名表示が青くなります。\r\n");
  text += Indented("処理が完了するとソート結果・比較結果のファイル名表示が赤くなります。\r\n");
  return text;
}

QString HowToCommandText() {
  const char* const extensionLine =
      "拡張子の指定は、前回起動時に指定されていたものになります。\r\n";
  const char* const endLine = "処理が完了したら、自動的にプログラムが終了します。\r\n";
  QString text =
      JoinLines({"● コマンドラインからバッチ処理する場合", "", "Kestrelon [OrgFileName]", ""});
  text += Indented("引数が１つ指定された場合、それを元のファイル名としてソートをします。\r\n");
  text += Indented("出力ファイル名は、拡張子を変更したものになります。\r\n");
  text += Indented(extensionLine);
  text += Indented("オプションの指定はできません。デフォルトの状態です。\r\n");
  text += Indented(endLine);
  text += JoinLines({"", "Kestrelon [BeforeFileName] [AfterFileName]", ""});
  text += Indented("引数が２つ指定された場合、それを元のファイル名として比較をします。\r\n");
  text += Indented(
      "出力ファイル名は、２つめに指定されたファイルの拡張子を変更したものになります。\r\n");
  text += Indented(extensionLine);
  text += Indented("ソート処理の結果を残すか消去するかは、前回起動時の状態に従います。\r\n");
  text += Indented(endLine);
  return text;
}

QString TechNotes1Text() {
  return JoinLines({
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
}

QString TechNotes2Text() {
  return JoinLines({
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
      // Where the ini file is, also for an installed program.
      "ini ファイル（Kestrelon.ini）はプログラムと同じフォルダに置きます。",
      "インストールしたプログラム（/usr の下にあるものなど）は、",
      kUserIniLine,
      "",
      // What this build needs besides its own file.
      "このプログラムは、本体のほかに Qt 6 のライブラリ（Qt6Core、Qt6Gui、",
      "Qt6Widgets）と日本語フォント（IPA P ゴシックなど）を必要とします。",
      "プログラムが起動しない場合や、画面の文字が化けて表示される場合は、",
      "これらを別途入手してください。",
      "ちなみに、このメッセージが読めていれば、すでにそろっています。",
  });
}

QString AboutText() {
  return QStringLiteral("試作版 Ver.") + QString::fromLatin1(kVersion) +
         QStringLiteral(" です\r\n\r\n") +
         JoinLines({"Kestrelon 開発チーム", "連絡先は README.md をご覧ください"});
}

}  // namespace kestrelon::ui
