#include "ui/route_diff/route_diff_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <set>
#if defined(__linux__)
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "files/file_writer.h"
#include "tables/text_writer.h"
#include "ui/core_names.h"
#include "ui/route_diff/change_table_model.h"

namespace kestrelon::ui::route_diff {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Number(std::size_t value) {
  return QLocale(QLocale::English).toString(static_cast<qulonglong>(value));
}

// The captions of the fields, in the core's order.
constexpr std::array<const char*, tables::kRouteFieldCount> kFieldCaptions = {
    "プロトコル", "AD値", "メトリック", "ネクストホップ", "インタフェース", "フラグ", "経過時間"};

QString HtmlEscaped(const QString& text) {
  return text.toHtmlEscaped();
}

void FillCounts(QTableWidget* table, const QString& allCaption, const tables::DiffCounts& total,
                const std::vector<std::pair<std::string, tables::DiffCounts>>& rows) {
  table->setRowCount(static_cast<int>(rows.size()) + 1);
  const auto put = [table](int row, const QString& name, const tables::DiffCounts& counts) {
    const std::array<QString, 6> cells = {name,
                                          Number(counts.before),
                                          Number(counts.after),
                                          Number(counts.removed),
                                          Number(counts.added),
                                          Number(counts.changed)};
    for (int c = 0; c < 6; ++c) {
      auto* item = new QTableWidgetItem(cells[static_cast<std::size_t>(c)]);
      item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
      if (c > 0) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      if (c == 0 && row > 0) {
        item->setData(Qt::UserRole, name);
      }
      table->setItem(row, c, item);
    }
  };
  put(0, allCaption, total);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    put(static_cast<int>(i) + 1, Text(rows[i].first), rows[i].second);
  }
  for (int c = 0; c < 6; ++c) {
    table->resizeColumnToContents(c);
  }
  table->setColumnWidth(0, std::min(table->columnWidth(0), 160));
}

QTableWidget* CountTable(const char* name, const char* heading) {
  auto* table = new QTableWidget(0, 6);
  table->setObjectName(QString::fromUtf8(name));
  table->setHorizontalHeaderLabels({QString::fromUtf8(heading), QStringLiteral("前"),
                                    QStringLiteral("後"), QStringLiteral("削除"),
                                    QStringLiteral("追加"), QStringLiteral("変更")});
  table->verticalHeader()->hide();
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->horizontalHeader()->setStretchLastSection(false);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  return table;
}

// A route in full for the details pane: both sides side by side, what changed marked.
QString DetailsHtml(const ChangeRow& row) {
  using tables::RouteField;
  const auto cell = [](const std::optional<RouteCopy>& side, auto value) {
    return side ? HtmlEscaped(value(*side)) : QStringLiteral("（なし）");
  };
  const auto orDash = [](const QString& text) {
    return text.isEmpty() ? QStringLiteral("-") : text;
  };
  struct Line {
    const char* caption;
    std::function<QString(const RouteCopy&)> value;
    bool changed;
  };
  const std::vector<Line> lines = {
      {"プロトコル", [&](const RouteCopy& r) { return Text(r.protocol); },
       row.fields.Has(RouteField::kProtocol)},
      {"フラグ", [&](const RouteCopy& r) { return orDash(Text(r.flags)); },
       row.fields.Has(RouteField::kFlags)},
      {"AD値",
       [&](const RouteCopy& r) { return r.distance ? QString::number(*r.distance) : orDash({}); },
       row.fields.Has(RouteField::kDistance)},
      {"メトリック",
       [&](const RouteCopy& r) { return r.metric ? QString::number(*r.metric) : orDash({}); },
       row.fields.Has(RouteField::kMetric)},
      {"経過時間",
       [&](const RouteCopy& r) { return orDash(r.uptime ? Text(*r.uptime) : QString()); },
       row.fields.Has(RouteField::kUptime)},
      {"ネクストホップ",
       [&](const RouteCopy& r) {
         QStringList hops;
         for (const HopCopy& hop : r.hops) {
           QString text = hop.address ? Text(*hop.address) : QStringLiteral("-");
           if (hop.vrf) {
             text += QStringLiteral(" (") + Text(*hop.vrf) + QLatin1Char(')');
           }
           if (hop.interface) {
             text += QStringLiteral("  ") + Text(*hop.interface);
           }
           hops.push_back(text);
         }
         return orDash(hops.join(QLatin1Char('\n')));
       },
       row.fields.Has(RouteField::kNextHops) || row.fields.Has(RouteField::kInterface)}};
  const RouteCopy& route = row.route();
  QString html = QStringLiteral("<b>%1</b>　VRF %2　%3　%4")
                     .arg(HtmlEscaped(Text(route.prefix)), HtmlEscaped(Text(route.vrf)),
                          ChangeTableModel::CellText(row, ChangeTableModel::kFamily),
                          ChangeTableModel::KindName(row.change));
  if (row.change == tables::RouteChange::kChanged) {
    html += QStringLiteral(": ") + ChangeTableModel::CellText(row, ChangeTableModel::kFields);
  }
  // One line a side, a column a field: the pane stays low, the list keeps the room.
  html += QStringLiteral(
      "<table cellspacing='0' cellpadding='3' border='1' "
      "style='border-collapse:collapse'><tr><th></th>");
  for (const Line& line : lines) {
    html += QStringLiteral("<th align='left'>") + QString::fromUtf8(line.caption) +
            QStringLiteral("</th>");
  }
  html += QStringLiteral("</tr>");
  for (const auto& [caption, side] : {std::pair{"変更前", &row.before}, {"変更後", &row.after}}) {
    html += QStringLiteral("<tr><td>") + QString::fromUtf8(caption) + QStringLiteral("</td>");
    for (const Line& line : lines) {
      QString text = cell(*side, line.value);
      text.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
      html += line.changed ? QStringLiteral("<td style='background:#ffc45c'><b>") + text +
                                 QStringLiteral("</b></td>")
                           : QStringLiteral("<td>") + text + QStringLiteral("</td>");
    }
    html += QStringLiteral("</tr>");
  }
  return html + QStringLiteral("</table>");
}

QString FormatName(ExportFormat format) {
  return format == ExportFormat::kCsv    ? QStringLiteral("csv")
         : format == ExportFormat::kJson ? QStringLiteral("json")
                                         : QStringLiteral("txt");
}

}  // namespace

RouteDiffWindow::RouteDiffWindow(const QString& before, const QString& after,
                                 ErrorReporter reporter, QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      before_(before),
      after_(after),
      reporter_(std::move(reporter)) {
  setObjectName(QStringLiteral("frmRouteDiff"));
  setWindowTitle(QStringLiteral("経路差分 - ") + QFileInfo(before).fileName() +
                 QStringLiteral(" → ") + QFileInfo(after).fileName());
  setAttribute(Qt::WA_QuitOnClose, false);
  BuildControls();
  BuildMenus();
  resize(1180, 720);
  if (parent != nullptr) {
    // Beside the main window where the screen has room, so both stay in view.
    const QRect main = parent->frameGeometry();
    const QScreen* screen = parent->screen();
    const QRect room = screen != nullptr ? screen->availableGeometry() : QRect();
    QPoint at(main.right() + 8, main.top());
    if (room.isValid() && at.x() + width() > room.right()) {
      at = QPoint(std::max(room.left(), room.right() - width()), main.top() + 40);
    }
    move(at);
  }
  StartReading();
}

RouteDiffWindow::~RouteDiffWindow() {
  cancel_ = true;
  if (worker_.joinable()) {
    worker_.join();
  }
}

void RouteDiffWindow::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  header_ = new QLabel(central);
  header_->setObjectName(QStringLiteral("lblHeader"));
  header_->setTextFormat(Qt::RichText);
  header_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  header_->setWordWrap(true);
  layout->addWidget(header_);

  auto* filters = new QHBoxLayout;
  const char* const kindCaptions[] = {"削除", "追加", "変更"};
  for (std::size_t k = 0; k < 3; ++k) {
    kinds_[k] = new QCheckBox(QString::fromUtf8(kindCaptions[k]), central);
    kinds_[k]->setObjectName(QStringLiteral("chkKind(%1)").arg(k));
    kinds_[k]->setChecked(true);
    filters->addWidget(kinds_[k]);
    connect(kinds_[k], &QCheckBox::toggled, this, [this, k](bool on) {
      filter_.kinds[k] = on;
      Refilter();
    });
  }
  filters->addSpacing(12);
  filters->addWidget(new QLabel(QStringLiteral("VRF:"), central));
  vrfChoice_ = new QComboBox(central);
  vrfChoice_->setObjectName(QStringLiteral("cboVrf"));
  vrfChoice_->setMinimumContentsLength(14);
  filters->addWidget(vrfChoice_);
  filters->addWidget(new QLabel(QStringLiteral("プロトコル:"), central));
  protocolChoice_ = new QComboBox(central);
  protocolChoice_->setObjectName(QStringLiteral("cboProtocol"));
  protocolChoice_->setMinimumContentsLength(10);
  filters->addWidget(protocolChoice_);
  filters->addSpacing(12);
  filters->addWidget(new QLabel(QStringLiteral("検索:"), central));
  search_ = new QLineEdit(central);
  search_->setObjectName(QStringLiteral("txtSearch"));
  search_->setPlaceholderText(
      QStringLiteral("プレフィックス（10.1.0.0/16 で配下も）・ネクストホップ・インタフェース"));
  search_->setClearButtonEnabled(true);
  filters->addWidget(search_, 1);
  layout->addLayout(filters);
  connect(vrfChoice_, &QComboBox::currentIndexChanged, this, [this] {
    filter_.vrf = vrfChoice_->currentData().toString().toStdString();
    Refilter();
  });
  connect(protocolChoice_, &QComboBox::currentIndexChanged, this, [this] {
    filter_.protocol = protocolChoice_->currentData().toString().toStdString();
    Refilter();
  });
  connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) {
    filter_.search = text.toStdString();
    Refilter();
  });

  auto* ignoring = new QHBoxLayout;
  ignoring->addWidget(new QLabel(QStringLiteral("変更として数えない項目:"), central));
  for (std::size_t f = 0; f < tables::kRouteFieldCount; ++f) {
    ignore_[f] = new QCheckBox(QString::fromUtf8(kFieldCaptions[f]), central);
    ignore_[f]->setObjectName(
        QStringLiteral("chkIgnore(%1)")
            .arg(Text(tables::RouteFieldName(static_cast<tables::RouteField>(f)))));
    ignore_[f]->setChecked(static_cast<tables::RouteField>(f) == tables::RouteField::kUptime);
    ignoring->addWidget(ignore_[f]);
    // The diff is read again at once: what counts as changed decides which routes pair up.
    connect(ignore_[f], &QCheckBox::toggled, this, [this] { StartReading(); });
  }
  ignoring->addStretch(1);
  shownCount_ = new QLabel(central);
  shownCount_->setObjectName(QStringLiteral("lblShown"));
  ignoring->addWidget(shownCount_);
  layout->addLayout(ignoring);

  split_ = new QSplitter(Qt::Horizontal, central);
  QSplitter* split = split_;
  auto* summaries = new QWidget(split);
  auto* summaryLayout = new QVBoxLayout(summaries);
  summaryLayout->setContentsMargins(0, 0, 0, 0);
  summaryLayout->addWidget(
      new QLabel(QStringLiteral("VRF 別（行を選ぶと一覧を絞り込みます）"), summaries));
  vrfTable_ = CountTable("tblVrf", "VRF");
  summaryLayout->addWidget(vrfTable_, 1);
  summaryLayout->addWidget(new QLabel(QStringLiteral("プロトコル別"), summaries));
  protocolTable_ = CountTable("tblProtocol", "プロトコル");
  summaryLayout->addWidget(protocolTable_, 2);
  const auto choose = [](QTableWidget* table, QComboBox* choice) {
    connect(table, &QTableWidget::itemSelectionChanged, choice, [table, choice] {
      const QList<QTableWidgetItem*> items = table->selectedItems();
      if (items.isEmpty()) {
        return;
      }
      const QTableWidgetItem* name = table->item(items.front()->row(), 0);
      const int at = choice->findData(name->data(Qt::UserRole).toString());
      choice->setCurrentIndex(std::max(at, 0));
    });
  };
  choose(vrfTable_, vrfChoice_);
  choose(protocolTable_, protocolChoice_);

  auto* right = new QSplitter(Qt::Vertical, split);
  model_ = new ChangeTableModel(this);
  table_ = new QTableView(right);
  table_->setObjectName(QStringLiteral("tblChanges"));
  table_->setModel(model_);
  table_->setSortingEnabled(true);
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setWordWrap(false);
  table_->setAlternatingRowColors(false);
  table_->verticalHeader()->hide();
  // Fixed row heights: a million rows are laid out without measuring each.
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  // Column widths from the headings and the first rows only, however long the list.
  table_->horizontalHeader()->setResizeContentsPrecision(200);
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { ShowDetails(); });
  details_ = new QTextEdit(right);
  details_->setObjectName(QStringLiteral("txtDetails"));
  details_->setReadOnly(true);
  details_->setPlaceholderText(
      QStringLiteral("一覧で経路を選ぶと、変更前後の内容をすべて表示します。"));
  right->setStretchFactor(0, 3);
  right->setStretchFactor(1, 1);
  right->setSizes({420, 150});
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  split->setSizes({270, 910});
  layout->addWidget(split, 1);
  setCentralWidget(central);

  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName(QStringLiteral("prgReading"));
  progressBar_->setMaximumWidth(260);
  statusBar()->addPermanentWidget(progressBar_);
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(100);
  connect(progressTimer_, &QTimer::timeout, this, [this] { ShowProgress(); });
}

void RouteDiffWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  const char* const captions[] = {"CSV 形式で書き出す(&C)...", "JSON 形式で書き出す(&J)...",
                                  "テキスト形式で書き出す(&T)..."};
  for (std::size_t f = 0; f < 3; ++f) {
    exports_[f] = file->addAction(QString::fromUtf8(captions[f]));
    exports_[f]->setObjectName(QStringLiteral("mExport(%1)").arg(f));
    const auto format = static_cast<ExportFormat>(f);
    connect(exports_[f], &QAction::triggered, this, [this, format] { ChooseExport(format); });
  }
  file->addSeparator();
  QAction* close = file->addAction(QStringLiteral("閉じる(&W)"));
  close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  connect(close, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  copy_ = edit->addAction(QStringLiteral("選択した行をコピー(&C)"));
  copy_->setObjectName(QStringLiteral("mCopy"));
  copy_->setShortcut(QKeySequence::Copy);
  copy_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  table_->addAction(copy_);
  connect(copy_, &QAction::triggered, this, [this] { CopySelection(); });
  QAction* all = edit->addAction(QStringLiteral("すべて選択(&A)"));
  connect(all, &QAction::triggered, table_, &QTableView::selectAll);

  QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  QAction* find = view->addAction(QStringLiteral("検索(&F)"));
  find->setShortcut(QKeySequence::Find);
  connect(find, &QAction::triggered, search_, [this] {
    search_->setFocus();
    search_->selectAll();
  });
  reread_ = view->addAction(QStringLiteral("ファイルを読み直す(&R)"));
  reread_->setObjectName(QStringLiteral("mReread"));
  reread_->setShortcut(QKeySequence(Qt::Key_F5));
  connect(reread_, &QAction::triggered, this, [this] { StartReading(); });
}

tables::RouteFields RouteDiffWindow::Ignored() const {
  tables::RouteFields ignored;
  for (std::size_t f = 0; f < ignore_.size(); ++f) {
    if (ignore_[f]->isChecked()) {
      ignored.Add(static_cast<tables::RouteField>(f));
    }
  }
  return ignored;
}

void RouteDiffWindow::Launch(std::function<void()> work,
                             std::function<void(std::exception_ptr)> finished) {
  cancel_ = false;
  progress_.expected = 0;
  progress_.done = 0;
  started_.start();
  for (QAction* action : exports_) {
    action->setEnabled(false);
  }
  reread_->setEnabled(false);
  worker_ = std::thread([this, work = std::move(work), finished = std::move(finished)] {
#if defined(__linux__)
    // A little below the window's thread, so its event loop keeps turning on a busy machine;
    // the core's reading threads, started from here, inherit it.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
#endif
    std::exception_ptr failure;
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    // Delivered on the window's thread; dropped with the window if it is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, failure, finished] {
          worker_.join();
          progressTimer_->stop();
          progressBar_->hide();
          statusBar()->clearMessage();
          for (QAction* action : exports_) {
            action->setEnabled(result_ != nullptr);
          }
          reread_->setEnabled(true);
          if (closing_) {
            deleteLater();
            return;
          }
          finished(failure);
          if (rereadPending_) {
            rereadPending_ = false;
            StartReading();
          } else {
            Q_EMIT workDone();
          }
        },
        Qt::QueuedConnection);
  });
}

void RouteDiffWindow::ShowBusy(const QString& what) {
  statusText_ = what;
  statusBar()->showMessage(what);
  progressBar_->setRange(0, 0);
  progressBar_->show();
  progressTimer_->start();
}

void RouteDiffWindow::ShowProgress() {
  // The reading itself reports nothing: until the summary is known the time goes by; then the
  // changes are counted as they arrive.
  const std::size_t expected = progress_.expected.load(std::memory_order_relaxed);
  if (expected == 0) {
    statusBar()->showMessage(
        statusText_ +
        QStringLiteral("（%1 秒）").arg(double(started_.elapsed()) / 1000.0, 0, 'f', 1));
    return;
  }
  const std::size_t done = progress_.done.load(std::memory_order_relaxed);
  progressBar_->setRange(0, 1000);
  progressBar_->setValue(static_cast<int>(std::min<std::size_t>(done, expected) * 1000 / expected));
  statusBar()->showMessage(
      QStringLiteral("変更を受け取っています… %1 ／ %2 件").arg(Number(done), Number(expected)));
}

void RouteDiffWindow::StartReading() {
  if (busy()) {
    // A reading under way stops as soon as it can, an export is let finish; this one follows.
    cancel_ = !exporting_;
    rereadPending_ = true;
    return;
  }
  auto request = std::make_shared<DiffRequest>();
  request->before = CoreName(before_);
  request->after = CoreName(after_);
  request->beforeSource = before_.toStdString();
  request->afterSource = after_.toStdString();
  request->options.ignored = Ignored();
  auto result = std::make_shared<std::optional<DiffResult>>();
  const auto sized = [](const QString& name) {
    const QFileInfo file(name);
    return file.fileName() + QStringLiteral("（%1 MB）").arg(double(file.size()) / 1e6, 0, 'f', 1);
  };
  ShowBusy(QStringLiteral("読み込み中… %1 と %2").arg(sized(before_), sized(after_)));
  if (result_ == nullptr) {
    header_->setText(QStringLiteral("<b>変更前:</b> %1<br><b>変更後:</b> %2<br>読み込み中…")
                         .arg(before_.toHtmlEscaped(), after_.toHtmlEscaped()));
  }
  Launch([this, request, result] { *result = RunRouteDiff(*request, cancel_, progress_); },
         [this, result](std::exception_ptr failure) {
           if (rereadPending_) {
             return;  // called off; the next reading starts now
           }
           if (failure) {
             Report(QStringLiteral("経路の差分を表示できません。"), failure);
             if (result_ == nullptr) {
               close();  // nothing to show; a diff read before stays in view
             }
             return;
           }
           if (*result) {
             ApplyResult(std::make_shared<const DiffResult>(std::move(**result)));
           }
         });
}

void RouteDiffWindow::ApplyResult(std::shared_ptr<const DiffResult> result) {
  result_ = std::move(result);
  for (QAction* action : exports_) {
    action->setEnabled(true);
  }
  model_->SetResult(result_);
  // The choices keep what was chosen when the new diff still has it.
  const auto refill = [](QComboBox* choice, const QString& all,
                         const std::vector<std::pair<std::string, tables::DiffCounts>>& rows) {
    const QString kept = choice->currentData().toString();
    const QSignalBlocker quiet(choice);
    choice->clear();
    choice->addItem(all, QString());
    for (const auto& [name, counts] : rows) {
      choice->addItem(Text(name), Text(name));
    }
    choice->setCurrentIndex(std::max(choice->findData(kept), 0));
  };
  refill(vrfChoice_, QStringLiteral("すべて"), result_->summary.vrfs);
  refill(protocolChoice_, QStringLiteral("すべて"), result_->summary.protocols);
  filter_.vrf = vrfChoice_->currentData().toString().toStdString();
  filter_.protocol = protocolChoice_->currentData().toString().toStdString();
  ShowHeader();
  FillSummaries();
  Refilter();
  // Each column as wide as its first rows or the longer line of its heading, whichever is more.
  const QFontMetrics heading(table_->horizontalHeader()->font());
  for (int c = 0; c < ChangeTableModel::kColumnCount; ++c) {
    int width = static_cast<QAbstractItemView*>(table_)->sizeHintForColumn(c);
    for (const QString& line :
         model_->headerData(c, Qt::Horizontal).toString().split(QLatin1Char('\n'))) {
      width = std::max(width, heading.horizontalAdvance(line) + 14);
    }
    table_->setColumnWidth(c, std::min(width, 200));
  }
  if (model_->rowCount() > 0) {
    table_->selectRow(0);  // its details show at once
  }
}

void RouteDiffWindow::ShowHeader() {
  const tables::DiffSummary& s = result_->summary;
  const auto side = [](const char* label, const std::string& source, tables::Platform platform,
                       std::size_t routes) {
    return QStringLiteral("<b>%1</b> %2 （%3、%4 経路）")
        .arg(QString::fromUtf8(label), HtmlEscaped(QString::fromStdString(source)),
             Text(tables::PlatformName(platform)), Number(routes));
  };
  QStringList ignored;
  for (const tables::RouteField field : s.ignored.List()) {
    ignored.push_back(QString::fromUtf8(kFieldCaptions[static_cast<std::size_t>(field)]));
  }
  QString html =
      side("変更前:", s.beforeSource, s.beforePlatform, s.total.before) + QStringLiteral("<br>") +
      side("変更後:", s.afterSource, s.afterPlatform, s.total.after) + QStringLiteral("<br>");
  if (s.total.Changes() == 0) {
    html += QStringLiteral("<b>変更はありません</b>（同等です）");
  } else {
    html += QStringLiteral(
                "<b>変更 %1 件:</b> <span style='color:#b00000'>削除 %2</span> ／ "
                "<span style='color:#007000'>追加 %3</span> ／ "
                "<span style='color:#a06000'>変更 %4</span>")
                .arg(Number(s.total.Changes()), Number(s.total.removed), Number(s.total.added),
                     Number(s.total.changed));
  }
  html += QStringLiteral("<br>変更として数えない項目: ") +
          (ignored.isEmpty() ? QStringLiteral("なし") : ignored.join(QStringLiteral("、")));
  // Lines a reader could not place: the diff may miss routes printed there.
  const auto unread = [&html](const char* label, const tables::ReadingReport& reading) {
    const std::size_t count = reading.lines.notUnderstood();
    if (count == 0) {
      return;
    }
    html += QStringLiteral("<br><span style='color:#b00000'><b>%1: 読み取れなかった行 %2 行</b>")
                .arg(QString::fromUtf8(label), Number(count));
    QStringList examples;
    for (const tables::LineExample& example : reading.lines.examples()) {
      if (examples.size() == 3) {
        break;
      }
      examples.push_back(QStringLiteral("%1 行目「%2」")
                             .arg(Number(example.line),
                                  QString::fromStdString(example.text).left(60).toHtmlEscaped()));
    }
    html += QStringLiteral("（") + examples.join(QStringLiteral("、")) +
            (count > std::size_t(examples.size()) ? QStringLiteral(" …") : QString()) +
            QStringLiteral("）</span>");
  };
  unread("変更前", s.beforeReading);
  unread("変更後", s.afterReading);
  header_->setText(html);
}

void RouteDiffWindow::FillSummaries() {
  const tables::DiffSummary& s = result_->summary;
  tables::DiffCounts total = s.total;
  FillCounts(vrfTable_, QStringLiteral("（すべて）"), total, s.vrfs);
  // The protocol table counts a changed route under both protocols, so its total is the VRFs'.
  FillCounts(protocolTable_, QStringLiteral("（すべて）"), total, s.protocols);
  // The summaries as wide as their numbers need, within reason; the list takes the rest.
  int wanted = 0;
  for (const QTableWidget* table : {vrfTable_, protocolTable_}) {
    int width = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < table->columnCount(); ++c) {
      width += table->columnWidth(c);
    }
    wanted = std::max(wanted, width);
  }
  const int room = split_->width();
  const int left = std::clamp(wanted, 240, std::max(240, room / 2));
  split_->setSizes({left, std::max(room - left, 200)});
}

void RouteDiffWindow::Refilter() {
  if (result_ == nullptr) {
    return;
  }
  model_->SetShown(Shown(result_->rows, filter_));
  shownCount_->setText(QStringLiteral("表示 %1 件 ／ 全 %2 件")
                           .arg(Number(model_->shown().size()), Number(result_->rows.size())));
  ShowDetails();
}

void RouteDiffWindow::ShowDetails() {
  const QModelIndex current = table_->currentIndex();
  if (!current.isValid() || result_ == nullptr) {
    details_->clear();
    return;
  }
  details_->setHtml(DetailsHtml(result_->rows[model_->RowIndex(current.row())]));
}

void RouteDiffWindow::ChooseExport(ExportFormat format) {
  const QFileInfo after(after_);
  const QString suggested = after.dir().filePath(
      after.completeBaseName() + QStringLiteral(".routediff.") + FormatName(format));
  const QString filters[] = {QStringLiteral("CSV (*.csv)"), QStringLiteral("JSON (*.json)"),
                             QStringLiteral("テキスト (*.txt)")};
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("書き出すファイル"), suggested,
      filters[static_cast<int>(format)] + QStringLiteral(";;すべてのファイル (*)"));
  if (!path.isEmpty()) {
    ExportTo(format, path);
  }
}

bool RouteDiffWindow::ExportTo(ExportFormat format, const QString& path) {
  if (result_ == nullptr || busy()) {
    return false;
  }
  // With a VRF chosen, the report's summary is that of the diff of that VRF alone, as
  // `kestrelon-cli diff --vrf` counts it; the core gives it (the captures are read again).
  auto request = std::make_shared<DiffRequest>();
  request->before = CoreName(before_);
  request->after = CoreName(after_);
  request->beforeSource = before_.toStdString();
  request->afterSource = after_.toStdString();
  request->options.ignored = result_->summary.ignored;
  if (!filter_.vrf.empty()) {
    request->options.vrfs = {filter_.vrf};
    request->summaryOnly = true;
  }
  const std::shared_ptr<const DiffResult> result = result_;
  const ChangeFilter filter = filter_;
  std::vector<std::uint32_t> shown = model_->shown();
  const std::string target = CoreName(path);
  bool written = false;
  exporting_ = true;
  ShowBusy(QStringLiteral("書き出し中… %1").arg(QFileInfo(path).fileName()));
  Launch(
      [this, request, result, filter, shown = std::move(shown), target, format] {
        tables::DiffSummary whole = result->summary;
        if (request->summaryOnly) {
          const std::optional<DiffResult> vrf = RunRouteDiff(*request, cancel_, progress_);
          if (!vrf) {
            return;  // the window is closing
          }
          whole = vrf->summary;
        }
        files::AtomicOutputFile file(target);
        tables::FileByteSink sink(file);
        WriteReport(format, ShownSummary(whole, result->rows, shown, filter), result->rows, shown,
                    sink);
        file.Commit();
      },
      [this, &written](std::exception_ptr failure) {
        exporting_ = false;
        if (failure) {
          Report(QStringLiteral("書き出しを中止しました。"), failure);
        } else {
          written = true;
        }
      });
  // The caller learns the outcome: the window keeps turning its event loop meanwhile.
  QEventLoop wait;
  connect(this, &RouteDiffWindow::workDone, &wait, &QEventLoop::quit);
  connect(this, &QObject::destroyed, &wait, &QEventLoop::quit);
  wait.exec();
  return written;
}

void RouteDiffWindow::CopySelection() {
  if (result_ == nullptr) {
    return;
  }
  std::set<int> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedIndexes()) {
    rows.insert(index.row());
  }
  std::vector<std::uint32_t> selected;
  for (const int row : rows) {
    selected.push_back(model_->RowIndex(row));
  }
  QApplication::clipboard()->setText(QString::fromStdString(TabSeparated(result_->rows, selected)));
}

void RouteDiffWindow::Report(const QString& headline, const std::exception_ptr& failure) {
  QString detail;
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& error) {
    detail = QString::fromUtf8(error.what());
  } catch (...) {
    detail = QStringLiteral("unknown failure");
  }
  if (reporter_) {
    reporter_(headline, detail);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Cisco [show ip route]"),
                  headline + QStringLiteral("\n") + detail, QMessageBox::Ok, this);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void RouteDiffWindow::closeEvent(QCloseEvent* event) {
  // Whatever runs is told to stop; the window goes now and is deleted once its worker is done.
  cancel_ = true;
  rereadPending_ = false;
  event->accept();
  if (busy()) {
    closing_ = true;
  } else {
    deleteLater();
  }
}

}  // namespace kestrelon::ui::route_diff
