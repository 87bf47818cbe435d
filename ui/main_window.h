// The program's single window frmKestrelon: its controls, menus, layout and event handlers.
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <vector>

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
  explicit frmKestrelon(QWidget* parent = nullptr);

  // Window caption, also the title of every message box.
  static QString Caption();

  // Keeps the minimum size and stretches the file-name boxes to the window's width.
  void Form_Resize();

  void mHowTo1_Click();
  void mHowTo2_Click();
  void mHowTo3_Click();
  void mTech1_Click();
  void mTech2_Click();
  void mAbout_Click();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

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

  std::vector<Placement> placements_;
  bool laying_out_ = false;
  bool relayout_pending_ = false;

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
  QAction* mOption = nullptr;
  QMenu* mOptConfig = nullptr;
  std::array<QAction*, 6> mSortKey{};
  std::array<QAction*, 6> mInfoDel{};
  QAction* mFileDel = nullptr;
};

}  // namespace kestrelon::ui
