#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStringList>
#include <algorithm>

#include "ui/app_icon.h"
#include "ui/file_name_edit.h"
#include "ui/twips.h"

namespace kestrelon::ui {

namespace {

// The client area as designed, in twips. The window frame of the original platform was
// 120 twips wide and 690 high (borders, caption and menu bar), which makes the minimum outer
// size 10320 x 3090. Qt's window geometry leaves out what the window manager draws, but holds
// the menu bar: so the minimum is this client area below the menu bar, plus the menu bar.
constexpr int kClientWidth = 10200;
constexpr int kClientHeight = 2400;

const char kFileNameFamily[] = "ＭＳ Ｐゴシック";

QString Name(const char* base, int index) {
  return QString::fromUtf8(base) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

// The font of the five file-name boxes; where it is missing, a Japanese gothic stands in.
QFont FileNameFont() {
  const QString family = QString::fromUtf8(kFileNameFamily);
  QFont::insertSubstitutions(family, {QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                                      QStringLiteral("Noto Sans CJK JP")});
  QFont font(family);
  font.setPointSizeF(9.75);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

// The window's own font, which every other control uses: the same gothic at 9 points, the
// size the designed label and check-box widths were measured for.
QFont WindowFont() {
  QFont font = FileNameFont();
  font.setPointSize(9);
  return font;
}

}  // namespace

frmKestrelon::frmKestrelon(const QString& programFolder, QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmKestrelon"));
  setWindowTitle(Caption());
  setWindowIcon(KestrelonIcon());
  setFont(WindowFont());
  // Message boxes are child windows: let them take the window's font as well.
  setAttribute(Qt::WA_WindowPropagation);

  BuildMenus();
  BuildControls();
  SetTabOrder();
  ConnectControls();

  const QSize client(TwipsToPixelsX(*this, kClientWidth), TwipsToPixelsY(*this, kClientHeight));
  centralWidget()->setMinimumSize(client);
  const QSize minimum(client.width(), client.height() + menuBar()->sizeHint().height());
  setMinimumSize(minimum);
  resize(minimum);
  Form_Load(programFolder);
}

QString frmKestrelon::Caption() {
  return QStringLiteral("Cisco [show ip route]");
}

void frmKestrelon::BuildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("client"));
  setCentralWidget(client);

  UpperDelim = new QFrame(client);
  UpperDelim->setObjectName(QStringLiteral("UpperDelim"));
  UpperDelim->setFrameShape(QFrame::HLine);
  UpperDelim->setFrameShadow(QFrame::Sunken);
  // Its geometry follows the window's inner width in Form_Resize.

  auto label = [client](const QString& name, const char* caption) {
    auto* widget = new QLabel(QString::fromUtf8(caption), client);
    widget->setObjectName(name);
    return widget;
  };
  auto fileBox = [client](const QString& name) {
    auto* widget = new FileNameEdit(client);
    widget->setObjectName(name);
    widget->setFont(FileNameFont());
    return widget;
  };
  auto button = [client](const QString& name, const char* caption) {
    auto* widget = new QPushButton(QString::fromUtf8(caption), client);
    widget->setObjectName(name);
    widget->setAutoDefault(false);
    return widget;
  };
  auto checkBox = [client](const QString& name, const char* caption) {
    auto* widget = new QCheckBox(QString::fromUtf8(caption), client);
    widget->setObjectName(name);
    widget->setChecked(true);
    return widget;
  };

  for (int i = 1; i <= 2; ++i) {
    lblReadFile[i] = label(Name("lblReadFile", i), i == 1 ? "ファイル １" : "ファイル ２");
    lblWriteFile[i] = label(Name("lblWriteFile", i), "ソート結果");
    txtReadFile[i] = fileBox(Name("txtReadFile", i));
    txtWriteFile[i] = fileBox(Name("txtWriteFile", i));
    cmdBrowseRead[i] = button(Name("cmdBrowseRead", i), "参照");
    cmdBrowseWrite[i] = button(Name("cmdBrowseWrite", i), "参照");
    cmdSort[i] = button(Name("cmdSort", i), "ソートする");
  }
  lblDiffFile = label(QStringLiteral("lblDiffFile"), "比較結果");
  txtDiffFile = fileBox(QStringLiteral("txtDiffFile"));
  cmdBrowseDiff = button(QStringLiteral("cmdBrowseDiff"), "参照");
  cmdDiff = button(QStringLiteral("cmdDiff"), "比較する");
  for (int k = 1; k <= 3; ++k) {
    lblFileExt[k] = label(Name("lblFileExt", k), "拡張子");
    txtFileExt[k] = new QLineEdit(client);
    txtFileExt[k]->setObjectName(Name("txtFileExt", k));
  }
  chkOption = checkBox(QStringLiteral("chkOption"), "オプション設定に従う");
  chkFileDel = checkBox(QStringLiteral("chkFileDel"), "比較用のソート結果を残す");

  constexpr Anchor F = Anchor::Fixed;
  constexpr Anchor S = Anchor::StretchWidth;
  constexpr Anchor M = Anchor::MoveRight;
  Place(lblReadFile[1], 120, 180, 840, 180, F);
  Place(txtReadFile[1], 960, 120, 7215, 300, S);
  Place(lblWriteFile[1], 120, 480, 840, 180, F);
  Place(txtWriteFile[1], 960, 420, 7215, 300, S);
  Place(lblReadFile[2], 120, 900, 840, 180, F);
  Place(txtReadFile[2], 960, 840, 7215, 300, S);
  Place(txtWriteFile[2], 960, 1140, 7215, 300, S);
  Place(lblDiffFile, 120, 1620, 840, 180, F);
  Place(txtDiffFile, 960, 1560, 7215, 300, S);
  Place(chkOption, 1680, 2040, 2400, 300, F);
  Place(cmdSort[1], 9000, 120, 1080, 300, M);
  Place(chkFileDel, 5160, 2040, 2400, 300, F);
  Place(cmdDiff, 9000, 1560, 1080, 300, M);
  Place(cmdBrowseRead[1], 8160, 120, 615, 300, M);
  Place(cmdBrowseWrite[1], 8160, 420, 615, 300, M);
  Place(cmdBrowseRead[2], 8160, 840, 615, 300, M);
  Place(cmdBrowseDiff, 8160, 1560, 615, 300, M);
  Place(cmdSort[2], 9000, 840, 1080, 300, M);
  Place(lblWriteFile[2], 120, 1200, 840, 180, F);
  Place(cmdBrowseWrite[2], 8160, 1140, 615, 300, M);
  Place(lblFileExt[1], 9000, 480, 600, 180, M);
  Place(lblFileExt[2], 9000, 1200, 600, 180, M);
  Place(txtFileExt[1], 9600, 420, 480, 270, M);
  Place(txtFileExt[2], 9600, 1140, 480, 270, M);
  Place(txtFileExt[3], 9600, 1860, 480, 270, M);
  Place(lblFileExt[3], 9000, 1920, 600, 180, M);
}

void frmKestrelon::ConnectControls() {
  fileDialog_ = SystemFileDialog();
  // textChanged and stateChanged fire for changes from code as from the user, and only when
  // the value changes: the handler chains of start-up and derivation rely on both.
  for (int i = 1; i <= 2; ++i) {
    connect(txtReadFile[i], &QLineEdit::textChanged, this, [this, i] { txtReadFile_Change(i); });
    connect(txtWriteFile[i], &QLineEdit::textChanged, this, [this, i] { txtWriteFile_Change(i); });
    connect(txtReadFile[i], &FileNameEdit::filesDropped, this,
            [this, i](const QStringList& files) { txtReadFile_OLEDragDrop(i, files); });
    connect(txtWriteFile[i], &FileNameEdit::filesDropped, this,
            [this, i](const QStringList& files) { txtWriteFile_OLEDragDrop(i, files); });
    connect(cmdBrowseRead[i], &QPushButton::clicked, this, [this, i] { cmdBrowseRead_Click(i); });
    connect(cmdBrowseWrite[i], &QPushButton::clicked, this, [this, i] { cmdBrowseWrite_Click(i); });
    connect(cmdSort[i], &QPushButton::clicked, this, [this, i] { cmdSort_Click(i); });
  }
  connect(txtDiffFile, &QLineEdit::textChanged, this, [this] { txtDiffFile_Change(); });
  connect(txtDiffFile, &FileNameEdit::filesDropped, this,
          [this](const QStringList& files) { txtDiffFile_OLEDragDrop(files); });
  connect(cmdBrowseDiff, &QPushButton::clicked, this, [this] { cmdBrowseDiff_Click(); });
  connect(cmdDiff, &QPushButton::clicked, this, [this] { cmdDiff_Click(); });
  for (int k = 1; k <= 3; ++k) {
    connect(txtFileExt[k], &QLineEdit::textChanged, this, [this, k] { txtFileExt_Change(k); });
  }
  connect(chkOption, &QCheckBox::stateChanged, this, [this] { chkOption_Click(); });
  connect(chkFileDel, &QCheckBox::stateChanged, this, [this] { chkFileDel_Click(); });
}

void frmKestrelon::SetTabOrder() {
  // The designed tab order; the frame and the labels take no focus.
  QWidget* const order[] = {txtReadFile[1], txtWriteFile[1],  txtReadFile[2],    txtWriteFile[2],
                            txtDiffFile,    chkOption,        cmdSort[1],        chkFileDel,
                            cmdDiff,        cmdBrowseRead[1], cmdBrowseWrite[1], cmdBrowseRead[2],
                            cmdBrowseDiff,  cmdSort[2],       cmdBrowseWrite[2], txtFileExt[1],
                            txtFileExt[2],  txtFileExt[3]};
  for (std::size_t n = 1; n < std::size(order); ++n) {
    QWidget::setTabOrder(order[n - 1], order[n]);
  }
}

void frmKestrelon::Place(QWidget* widget, int left, int top, int width, int height, Anchor anchor) {
  placements_.push_back({widget, left, top, width, height, anchor});
}

void frmKestrelon::ApplyPlacement(const Placement& p, int extraWidth) {
  int left = p.left;
  int width = p.width;
  if (p.anchor == Anchor::StretchWidth) {
    width += extraWidth;
  } else if (p.anchor == Anchor::MoveRight) {
    left += extraWidth;
  }
  p.widget->setGeometry(TwipsToPixelsX(*this, left), TwipsToPixelsY(*this, p.top),
                        TwipsToPixelsX(*this, width), TwipsToPixelsY(*this, p.height));
}

void frmKestrelon::Form_Resize() {
  // A minimised window reports a size below the minimum: leave it, and lay out on restore.
  if (isMinimized()) {
    return;
  }
  // A resize below the minimum lifts the window back to it; that resize lays out again.
  const QSize size = this->size();
  const QSize lifted = size.expandedTo(minimumSize());
  if (lifted != size) {
    resize(lifted);
    return;
  }
  // Moving the children can set off further events; a resize that arrives meanwhile is laid
  // out by the loop below instead of recursing.
  if (laying_out_) {
    relayout_pending_ = true;
    return;
  }
  laying_out_ = true;
  do {
    relayout_pending_ = false;
    const int innerWidth = PixelsToTwipsX(*this, width());
    const int extraWidth = std::max(0, innerWidth - kClientWidth);
    for (const Placement& placement : placements_) {
      ApplyPlacement(placement, extraWidth);
    }
    // The etched line runs 30 twips past both sides.
    UpperDelim->setGeometry(TwipsToPixelsX(*this, -30), 0, TwipsToPixelsX(*this, innerWidth + 60),
                            TwipsToPixelsY(*this, 30));
  } while (relayout_pending_);
  laying_out_ = false;
}

void frmKestrelon::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Form_Resize();
}

void frmKestrelon::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && !isMinimized()) {
    Form_Resize();
  }
}

}  // namespace kestrelon::ui
