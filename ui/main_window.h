// The program's single window frmKestrelon: its controls, menus, layout and event handlers.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "routes/route_line_parser.h"
#include "routes/sort_options.h"
#include "routes/sort_pipeline.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace kestrelon::ui {

class FileNameEdit;

// Controls and menu entries carry their names as object names, arrays with the index in
// brackets: "txtReadFile(1)", "mSortKey(0)", "UpperDelim".
class frmKestrelon : public QMainWindow {
  Q_OBJECT

 public:
  // Settings live in "Kestrelon.ini" in programFolder; empty means the executable's folder.
  explicit frmKestrelon(const QString& programFolder = QString(), QWidget* parent = nullptr);

  // Window caption, also the title of every message box.
  static QString Caption();

  // Keeps the minimum size and stretches the file-name boxes to the window's width.
  void Form_Resize();

  // Closes the window, which ends the program; nothing is saved, settings were written as
  // they changed.
  void mEnd_Click();

  // File names: derivation of the output and staging names, colours, enabled commands.
  void txtReadFile_Change(int Index);
  void txtWriteFile_Change(int Index);
  void txtDiffFile_Change();
  void txtFileExt_Change(int Index);
  void cmdBrowseRead_Click(int Index);
  void cmdBrowseWrite_Click(int Index);
  void cmdBrowseDiff_Click();
  void mFileOpen_Click(int Index);
  void txtReadFile_OLEDragDrop(int Index, const QStringList& files);
  void txtWriteFile_OLEDragDrop(int Index, const QStringList& files);
  void txtDiffFile_OLEDragDrop(const QStringList& files);

  // Sets the text of txtReadFile(Index), which runs its change handler when the text changes.
  void SetInputName(int Index, const QString& name);

  // Marks an output box as being written: blue, repainted at once.
  void ShowWriting(QLineEdit* box);

  // The sort and the compare. They take the names from the boxes when they start; a failure
  // is reported through the error reporter and leaves the window usable, options restored. The
  // compare is the core's one compare routine; the window shows its forced options and colours.
  void cmdSort_Click(int Index);
  void cmdDiff_Click();
  void mFileSort_Click(int Index);
  void mFileDiff_Click();
  // Opens a route diff window on the two input boxes' files, beside this window.
  void mRouteDiff_Click();
  // Opens a route diff window on two captures; one that cannot be read is told in a message.
  void OpenRouteDiff(const QString& before, const QString& after);
  // Asks for two folders of captures and opens a fleet window on them.
  void mFleetDiff_Click();
  // Opens a fleet window on two folders; its devices open route diff windows of this window.
  void OpenFleet(const QString& beforeFolder, const QString& afterFolder);

  // Sort and filter options.
  void chkOption_Click();
  void chkFileDel_Click();
  void mOption_Click();
  void mFileDel_Click();
  void mSortKey_Click(int Index);
  void mInfoDel_Click(int Index);

  // What the option controls say, for the sort.
  routes::SortOptions CurrentSortOptions() const;
  // Sets chkOption; its handler runs when the state changes and stores it.
  void SetFollowOptions(bool follow);
  // Puts options into the controls, as the compare does to force and then restore them:
  // chkOption through its handler, the sort key through mSortKey_Click, the filter marks as
  // given (the compare may hold a combination the menu handlers would not produce).
  void ApplySortOptions(const routes::SortOptions& options);

  // How a failed sort or compare is told: a message box by default. The text names the file
  // and the system's reason. Replaceable for batch mode and tests.
  using ErrorReporter = std::function<void(const QString& headline, const QString& detail)>;
  void setErrorReporter(ErrorReporter reporter);

  // The file dialogs. The call gets the dialog's kind and the name to start from, and gives
  // the chosen name, or nothing when the user cancelled. Replaceable for tests.
  enum class FileDialogKind { Open, Save };
  using FileDialog =
      std::function<std::optional<QString>(FileDialogKind kind, const QString& initialName)>;
  void setFileDialog(FileDialog dialog);

  void mHowTo1_Click();
  void mHowTo2_Click();
  void mHowTo3_Click();
  void mTech1_Click();
  void mTech2_Click();
  void mAbout_Click();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  // While a sort or a compare runs, closing waits for its end.
  void closeEvent(QCloseEvent* event) override;

 private:
  // How a control follows the window's width.
  enum class Anchor { Fixed, StretchWidth, MoveRight };
  struct Placement {
    QWidget* widget;
    int left, top, width, height;  // as designed, in twips
    Anchor anchor;
  };

  void BuildControls();
  void BuildMenus();
  void ConnectControls();
  void Form_Load(const QString& programFolder);
  FileDialog SystemFileDialog();
  void Browse(QLineEdit* box, FileDialogKind kind);
  void ColourByExistence(QLineEdit* box);
  void WriteSetting(const char* key, const QString& value);
  QString ReadSetting(const char* key) const;
  void SetTabOrder();
  void Place(QWidget* widget, int left, int top, int width, int height, Anchor anchor);
  void ApplyPlacement(const Placement& placement, int extraWidth);
  void ShowHelp(const QString& text);

  QAction* AddItem(QMenu* menu, const QString& name, const QString& caption);
  QAction* AddSeparator(QMenu* menu, const QString& name);
  // Connects a menu entry's handler to the entry being chosen. Qt has already toggled a
  // checkable entry by then; that toggle is undone, so the handler alone sets check marks.
  template <typename Handler>
  void OnChosen(QAction* action, Handler handler);

  void ReportFailure(const QString& headline, const std::exception& error);
  // Tells a failure through the error reporter, else in a message box over parent.
  void ReportFailure(const QString& headline, const QString& detail, QWidget* parent);
  class CompareView;   // the window's hooks into the compare
  class HeldCommands;  // the commands and boxes held while a run goes on

  // Runs work (a sort or a compare of the core) on a thread of its own and returns when it is
  // over, rethrowing its failure. Meanwhile the window's event loop keeps turning, so the window
  // repaints, but every command and option is disabled and the boxes take no input: nothing is
  // queued for after. The work must not touch the window; it posts what it shows.
  void RunHeld(const std::function<void()>& work);

  FileDialog fileDialog_;
  ErrorReporter errorReporter_;
  // The parser lives as long as the window: the sort and the compare share its carried mask.
  routes::RouteLineParser parser_;
  routes::SortPipeline pipeline_{parser_};
  std::vector<Placement> placements_;
  // While the compare forces the options, their change is shown but not stored: it is no
  // change of the user's.
  bool optionsHeldForCompare_ = false;
  // False when the settings file existed but could not be read at start-up: this run's state did
  // not come from it, so the run never writes it.
  bool settingsWritable_ = true;
  bool laying_out_ = false;
  bool relayout_pending_ = false;
  bool running_ = false;       // a sort or a compare runs
  bool closePending_ = false;  // the window was closed while it ran

  // Form-level state.
  QString strIniFile;                 // full path of the settings file
  std::array<QString, 3> strSortExt;  // extensions of sort results 1 and 2, "." in front
  QString strDiffExt;                 // extension of the compare result, "." in front

  // Controls; arrays indexed as their names are (sides 1 and 2, extension boxes 1 to 3).
  QFrame* UpperDelim = nullptr;
  std::array<QLabel*, 3> lblReadFile{};
  std::array<QLabel*, 3> lblWriteFile{};
  QLabel* lblDiffFile = nullptr;
  std::array<QLabel*, 4> lblFileExt{};
  std::array<FileNameEdit*, 3> txtReadFile{};
  std::array<FileNameEdit*, 3> txtWriteFile{};
  FileNameEdit* txtDiffFile = nullptr;
  std::array<QLineEdit*, 4> txtFileExt{};
  std::array<QPushButton*, 3> cmdBrowseRead{};
  std::array<QPushButton*, 3> cmdBrowseWrite{};
  QPushButton* cmdBrowseDiff = nullptr;
  std::array<QPushButton*, 3> cmdSort{};
  QPushButton* cmdDiff = nullptr;
  QCheckBox* chkOption = nullptr;
  QCheckBox* chkFileDel = nullptr;

  // Menus and their entries.
  std::array<QAction*, 3> mFileOpen{};
  QAction* mEnd = nullptr;
  std::array<QAction*, 3> mFileSort{};
  QAction* mFileDiff = nullptr;
  QAction* mRouteDiff = nullptr;
  QAction* mFleetDiff = nullptr;
  QAction* mOption = nullptr;
  QMenu* mOptConfig = nullptr;
  std::array<QAction*, 6> mSortKey{};
  std::array<QAction*, 6> mInfoDel{};
  QAction* mFileDel = nullptr;
};

}  // namespace kestrelon::ui
