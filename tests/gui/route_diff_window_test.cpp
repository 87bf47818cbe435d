// The route diff window, driven from the main window's menu and from --route-diff on a real
// capture and an edited copy: its counts, rows, filters, ignored fields and exports agree with
// kestrelon-cli diff on the same files; failures are told and closing at any time is safe.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <set>

#include "app/route_diff_start.h"
#include "ui/route_diff/change_filter.h"
#include "ui/route_diff/change_table_model.h"
#include "ui/route_diff/route_diff_window.h"
#include "window_fixture.h"

using namespace kestrelon::testing;
using kestrelon::ui::route_diff::ChangeTableModel;
using kestrelon::ui::route_diff::ExportFormat;
using kestrelon::ui::route_diff::RouteDiffWindow;

namespace {

const QString kCapture = QStringLiteral(KESTRELON_REAL_CORPUS "/suzieq_iosxe_c9300_vrf_all.txt");

// The capture after a change: one route gone, one new, a distance and a next hop changed, and
// an uptime moved on, each in another VRF.
QByteArray Edited(QByteArray text) {
  return WithEdits(
      std::move(text),
      {{"B        192.168.40.15/32 [200/0] via 10.10.10.10, 00:04:33, Vlan102\n", ""},
       {"192.168.20.20/32 [200/0] via 20.20.20.20", "192.168.20.20/32 [200/0] via 20.20.20.21"},
       {"1w3d", "1w4d"},
       {"L        192.168.44.14/32 is directly connected, Vlan233",
        "L        192.168.44.14/32 is directly connected, Vlan233\n"
        "S        192.168.50.0/24 [1/0] via 192.168.44.13"},
       {"0.0.0.0/0 [1/0] via 172.26.192.1", "0.0.0.0/0 [5/0] via 172.26.192.1"}});
}

QByteArray Cli(const QStringList& arguments) {
  return CliDiff(arguments);
}

// The prefixes the list shows, sorted.
QStringList Prefixes(const RouteDiffWindow& window) {
  QStringList prefixes;
  const ChangeTableModel& model = window.model();
  for (int row = 0; row < model.rowCount(); ++row) {
    prefixes.push_back(model.index(row, ChangeTableModel::kPrefix).data().toString());
  }
  prefixes.sort();
  return prefixes;
}

// The CSV rows (after the heading) whose prefix is one of prefixes.
QList<QByteArray> CsvRows(const QByteArray& csv, const QStringList& prefixes) {
  QList<QByteArray> rows;
  const QList<QByteArray> lines = csv.split('\n');
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QList<QByteArray> cells = lines[i].split(',');
    if (cells.size() > 3 && prefixes.contains(QString::fromUtf8(cells[3]).remove(u'"'))) {
      rows.push_back(lines[i]);
    }
  }
  return rows;
}

}  // namespace

class RouteDiffWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<WindowFixture> fixture_;
  QString before_;
  QString after_;

  // Opens the window from the menu entry and waits until it has read both captures.
  RouteDiffWindow* OpenFromMenu() {
    fixture_->window().SetInputName(1, before_);
    fixture_->window().SetInputName(2, after_);
    QAction* entry = fixture_->item("mRouteDiff");
    if (!entry->isEnabled()) {
      return nullptr;
    }
    entry->trigger();
    return Opened();
  }

  RouteDiffWindow* Opened() {
    auto* window = fixture_->window().findChild<RouteDiffWindow*>();
    if (window != nullptr && window->busy()) {
      QSignalSpy done(window, &RouteDiffWindow::workDone);
      done.wait(60000);
    }
    return window;
  }

  QByteArray Exported(RouteDiffWindow& window, ExportFormat format) {
    const QString path = fixture_->Path("export.out");
    QFile::remove(path);
    return window.ExportTo(format, path) ? Read(path) : QByteArray("<failed>");
  }

  // The real capture with 100,000 more routes in its last VRF, and its edited copy: large
  // enough that a reading is still going a while after it started.
  void WriteLargePair() {
    QByteArray big = Read(kCapture);
    for (int i = 0; i < 100000; ++i) {
      big += "S        10." + QByteArray::number(i / 65536) + "." +
             QByteArray::number(i / 256 % 256) + "." + QByteArray::number(i % 256) +
             "/32 [1/0] via 192.168.44.13\n";
    }
    Write(before_, big);
    Write(after_, Edited(big));
  }

  template <typename T>
  static T* Find(RouteDiffWindow& window, const char* name) {
    return window.findChild<T*>(QString::fromUtf8(name));
  }

 private Q_SLOTS:
  void init() {
    if (!QFile::exists(kCapture)) {
      QSKIP("the shared real captures are not beside the checkout");
    }
    fixture_ = std::make_unique<WindowFixture>();
    before_ = fixture_->MakeFile("before.txt", Read(kCapture));
    after_ = fixture_->MakeFile("after.txt", Edited(Read(kCapture)));
  }

  void cleanup() { fixture_.reset(); }

  void menuEntryShowsWhatTheCliReports() {
    QAction* entry = fixture_->item("mRouteDiff");
    QVERIFY(!entry->isEnabled());  // no names yet, as the compare's entry
    QCOMPARE(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    const QList<QAction*> run = fixture_->menu("mRun")->actions();
    QCOMPARE(run.indexOf(entry), run.indexOf(fixture_->item("mFileDiff")) + 1);

    RouteDiffWindow* window = OpenFromMenu();
    QVERIFY(window != nullptr);
    QCOMPARE(window->windowTitle(), U("経路差分 - before.txt → after.txt"));
    QVERIFY(fixture_->errors.isEmpty());
    QCOMPARE(Prefixes(*window), QStringList({U("0.0.0.0/0"), U("192.168.20.20/32"),
                                             U("192.168.40.15/32"), U("192.168.50.0/24")}));
    const QString header = Find<QLabel>(*window, "lblHeader")->text();
    QVERIFY2(header.contains(U("削除 1")) && header.contains(U("追加 1")) &&
                 header.contains(U("変更 2")) && header.contains(U("47 経路")),
             qPrintable(header));

    // Unfiltered, each export is the command line's report byte for byte.
    const QStringList files = {before_, after_};
    QCOMPARE(Exported(*window, ExportFormat::kCsv),
             Cli(QStringList{U("--format"), U("csv")} + files));
    QCOMPARE(Exported(*window, ExportFormat::kJson),
             Cli(QStringList{U("--format"), U("json")} + files));
    QCOMPARE(Exported(*window, ExportFormat::kText), Cli(files));

    // Sorted by prefix (numerically), then by kind the other way round.
    window->model().sort(ChangeTableModel::kPrefix, Qt::AscendingOrder);
    QCOMPARE(window->model().index(3, ChangeTableModel::kPrefix).data().toString(),
             U("192.168.50.0/24"));
    window->model().sort(ChangeTableModel::kKind, Qt::DescendingOrder);
    QCOMPARE(window->model().index(0, ChangeTableModel::kKind).data().toString(), U("変更"));
    QCOMPARE(window->model().index(3, ChangeTableModel::kKind).data().toString(), U("削除"));

    // The field that changed is marked (both changed routes: a distance, then next hops).
    const auto cell = [window](int row, int column) { return window->model().index(row, column); };
    const auto background = [&](int row, int column) {
      return cell(row, column).data(Qt::BackgroundRole);
    };
    QCOMPARE(cell(0, ChangeTableModel::kPrefix).data().toString(), U("0.0.0.0/0"));
    QCOMPARE(window->model().headerData(ChangeTableModel::kAfterCost, Qt::Horizontal).toString(),
             U("後\nAD/メトリック"));
    QCOMPARE(cell(0, ChangeTableModel::kAfterCost).data().toString(), U("[5/0]"));
    QVERIFY(background(0, ChangeTableModel::kAfterCost) !=
            background(0, ChangeTableModel::kAfterHops));
    QCOMPARE(background(0, ChangeTableModel::kAfterCost),
             background(1, ChangeTableModel::kAfterHops));
    QCOMPARE(background(0, ChangeTableModel::kAfterHops),
             background(1, ChangeTableModel::kAfterCost));
    QCOMPARE(background(0, ChangeTableModel::kBeforeCost),
             background(0, ChangeTableModel::kAfterCost));
    QVERIFY(background(2, ChangeTableModel::kPrefix) != background(0, ChangeTableModel::kPrefix));

    // Copy: a heading and one line per selected row, tab-separated.
    auto* table = Find<QTableView>(*window, "tblChanges");
    table->selectRow(0);
    window->CopySelection();
    const QStringList lines = QApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1].split(u'\t').size(), lines[0].split(u'\t').size());
    QVERIFY(!Find<QTextEdit>(*window, "txtDetails")->toPlainText().isEmpty());
  }

  void filters_data() {
    QTest::addColumn<int>("kinds");  // bits: removed 1, added 2, changed 4
    QTest::addColumn<QString>("vrfRow");
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");
    const QStringList all = {U("0.0.0.0/0"), U("192.168.20.20/32"), U("192.168.40.15/32"),
                             U("192.168.50.0/24")};
    QTest::newRow("removed only") << 1 << QString() << QString() << QString()
                                  << QStringList{all[2]};
    QTest::newRow("added and changed")
        << 6 << QString() << QString() << QString() << QStringList{all[0], all[1], all[3]};
    QTest::newRow("a VRF's summary row")
        << 7 << U("internal") << QString() << QString() << QStringList{all[2], all[3]};
    QTest::newRow("protocol before or after")
        << 7 << QString() << U("S") << QString() << QStringList{all[0], all[3]};
    QTest::newRow("routes inside a prefix") << 7 << QString() << QString() << U("192.168.0.0/16")
                                            << QStringList{all[1], all[2], all[3]};
    QTest::newRow("the route holding an address")
        << 7 << QString() << QString() << U("192.168.50.7") << QStringList{all[3]};
    QTest::newRow("a next hop") << 7 << QString() << QString() << U(" 20.20.20.21")
                                << QStringList{all[1]};
    QTest::newRow("an interface, any case")
        << 7 << QString() << QString() << U("vlan102") << QStringList{all[2]};
  }

  void filters() {
    QFETCH(int, kinds);
    QFETCH(QString, vrfRow);
    QFETCH(QString, protocol);
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    RouteDiffWindow* window = OpenFromMenu();
    QVERIFY(window != nullptr);
    for (int k = 0; k < 3; ++k) {
      Find<QCheckBox>(*window, qPrintable(QStringLiteral("chkKind(%1)").arg(k)))
          ->setChecked((kinds >> k & 1) != 0);
    }
    if (!vrfRow.isEmpty()) {
      auto* vrfs = Find<QTableWidget>(*window, "tblVrf");
      const QList<QTableWidgetItem*> found = vrfs->findItems(vrfRow, Qt::MatchExactly);
      QCOMPARE(found.size(), 1);
      vrfs->selectRow(found.front()->row());
      QCOMPARE(Find<QComboBox>(*window, "cboVrf")->currentText(), vrfRow);
    }
    if (!protocol.isEmpty()) {
      auto* protocols = Find<QComboBox>(*window, "cboProtocol");
      protocols->setCurrentIndex(protocols->findData(protocol));
    }
    Find<QLineEdit>(*window, "txtSearch")->setText(search);
    QCOMPARE(Prefixes(*window), expected);

    // The export holds the command line's rows of those routes.
    QStringList arguments = {U("--format"), U("csv"), before_, after_};
    if (!vrfRow.isEmpty()) {
      arguments = QStringList{U("--vrf"), vrfRow} + arguments;
    }
    const QByteArray cli = Cli(arguments);
    const QByteArray csv = Exported(*window, ExportFormat::kCsv);
    QCOMPARE(CsvRows(csv, expected), CsvRows(cli, expected));
    QCOMPARE(CsvRows(csv, expected).size(), expected.size());
    if (!vrfRow.isEmpty() && kinds == 7) {
      // One VRF is the command line's report of that VRF, summary included.
      arguments[arguments.indexOf(U("csv"))] = U("json");
      QCOMPARE(Exported(*window, ExportFormat::kJson), Cli(arguments));
    }
  }

  void ignoreBoxes_data() {
    QTest::addColumn<QStringList>("toggled");  // field names whose box is clicked
    QTest::addColumn<QString>("ignore");       // the command line's --ignore
    QTest::addColumn<int>("changes");
    QTest::newRow("uptime counts") << QStringList{U("uptime")} << U("none") << 5;
    QTest::newRow("next hops do not") << QStringList{U("next_hops")} << U("next_hops,uptime") << 3;
    QTest::newRow("distance does not, uptime does")
        << QStringList{U("distance"), U("uptime")} << U("distance") << 4;
  }

  void ignoreBoxes() {
    QFETCH(QStringList, toggled);
    QFETCH(QString, ignore);
    QFETCH(int, changes);
    RouteDiffWindow* window = OpenFromMenu();
    QVERIFY(window != nullptr);
    auto* uptime = Find<QCheckBox>(*window, "chkIgnore(uptime)");
    QVERIFY(uptime->isChecked());  // as the command line does by default
    for (const QString& field : toggled) {
      Find<QCheckBox>(*window, qPrintable(QStringLiteral("chkIgnore(%1)").arg(field)))->click();
    }
    QVERIFY(window->busy());  // applied at once: the diff is read again
    QSignalSpy done(window, &RouteDiffWindow::workDone);
    QVERIFY(done.wait(60000));
    QCOMPARE(window->model().rowCount(), changes);
    const QStringList files = {U("--ignore"), ignore, before_, after_};
    QCOMPARE(Exported(*window, ExportFormat::kText), Cli(files));
    QCOMPARE(Exported(*window, ExportFormat::kCsv),
             Cli(QStringList{U("--format"), U("csv")} + files));
  }

  void linesNotUnderstoodAreShownWithTheirFirstExample() {
    QByteArray text = Read(after_);
    const QByteArray route = "C        192.168.30.0/24 is directly connected, Vlan2002\n";
    QVERIFY(text.contains(route));
    text.replace(route, route + "this line is no route at all\n");
    Write(after_, text);
    RouteDiffWindow* window = OpenFromMenu();
    QVERIFY(window != nullptr);
    const QString header = Find<QLabel>(*window, "lblHeader")->text();
    QVERIFY2(header.contains(U("変更後: 読み取れなかった行 1 行")) &&
                 header.contains(U("this line is no route at all")) &&
                 !header.contains(U("変更前: 読み取れなかった行")),
             qPrintable(header));
    QCOMPARE(Exported(*window, ExportFormat::kJson),
             Cli({U("--format"), U("json"), before_, after_}));
  }

  void searchReadsPrefixesOfBothFamilies_data() {
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("v6 routes inside")
        << U("2001:db8::/32")
        << QStringList{U("2001:db8::/32"), U("2001:db8:1::/48"), U("2001:db8:1:2::/64"),
                       U("2001:db8:1:2:8000::1/128")};
    QTest::newRow("v6 inside, past the first 64 bits")
        << U("2001:db8:1:2:8000::/65") << QStringList{U("2001:db8:1:2:8000::1/128")};
    QTest::newRow("v6 address, held")
        << U("2001:db8:1:2::9")
        << QStringList{U("2001:db8::/32"), U("2001:db8:1::/48"), U("2001:db8:1:2::/64")};
    QTest::newRow("v4 inside, not v6") << U("10.0.0.0/8") << QStringList{U("10.1.0.0/16")};
    QTest::newRow("a next hop by address") << U("fe80::1") << QStringList{U("2001:db8:1::/48")};
  }

  void searchReadsPrefixesOfBothFamilies() {
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    using namespace kestrelon::tables;
    using kestrelon::ui::route_diff::ChangeCollector;
    using kestrelon::ui::route_diff::DiffResult;
    DiffResult result;
    std::atomic<bool> cancel{false};
    kestrelon::ui::route_diff::DiffProgress progress;
    ChangeCollector collector(result, cancel, progress, false);
    collector.Begin(DiffSummary{});
    const std::vector<std::pair<const char*, Afi>> prefixes = {
        {"::/0", Afi::kIpv6},
        {"2001:db8::/32", Afi::kIpv6},
        {"2001:db8:1::/48", Afi::kIpv6},
        {"2001:db8:1:2::/64", Afi::kIpv6},
        {"2001:db8:1:2:8000::1/128", Afi::kIpv6},
        {"2001:db9::/32", Afi::kIpv6},
        {"10.1.0.0/16", Afi::kIpv4},
        {"11.0.0.0/8", Afi::kIpv4}};
    for (const auto& [prefix, afi] : prefixes) {
      const NextHopView hop{
          std::string_view(std::string_view(prefix) == "2001:db8:1::/48" ? "fe80::1" : "fe80::2"),
          std::nullopt, std::nullopt};
      RouteView route;
      route.afi = afi;
      route.protocol = "S";
      route.prefix = prefix;
      route.nextHops = std::span<const NextHopView>(&hop, 1);
      RouteChangeEvent event;
      event.change = RouteChange::kAdded;
      event.after = &route;
      collector.Change(event);
    }
    kestrelon::ui::route_diff::ChangeFilter filter;
    filter.search = search.toStdString();
    QStringList found;
    for (const std::uint32_t index : kestrelon::ui::route_diff::Shown(result.rows, filter)) {
      found.push_back(QString::fromStdString(result.rows[index].route().prefix));
    }
    QCOMPARE(found, expected);
  }

  void routeDiffOptionFillsTheBoxesAndOpensTheWindow() {
    QVERIFY(!kestrelon::app::StartRouteDiff(fixture_->window(), {U("--route-diff"), before_}));
    QVERIFY(
        kestrelon::app::StartRouteDiff(fixture_->window(), {U("--route-diff"), before_, after_}));
    QCOMPARE(fixture_->box("txtReadFile(1)")->text(), before_);
    QCOMPARE(fixture_->box("txtReadFile(2)")->text(), after_);
    RouteDiffWindow* window = Opened();
    QVERIFY(window != nullptr);
    QCOMPARE(window->model().rowCount(), 4);
  }

  void unreadableCaptureIsToldAndClosesTheWindow_data() {
    QTest::addColumn<QByteArray>("after");  // empty: no such file
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray() << U("No such file");
    QTest::newRow("not a capture") << QByteArray("hello\nworld\n") << U("after.txt");
  }

  void unreadableCaptureIsToldAndClosesTheWindow() {
    QFETCH(QByteArray, after);
    QFETCH(QString, reason);
    QFile::remove(after_);
    if (!after.isEmpty()) {
      Write(after_, after);
    }
    kestrelon::app::StartRouteDiff(fixture_->window(), {U("--route-diff"), before_, after_});
    QPointer<RouteDiffWindow> window = Opened();
    QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 10000);
    QCOMPARE(fixture_->errors.size(), 1);
    QVERIFY2(fixture_->errors[0].contains(U("after.txt")) && fixture_->errors[0].contains(reason),
             qPrintable(fixture_->errors[0]));
  }

  void ignoreBoxChangedWhileExportingLetsTheExportFinish() {
    WriteLargePair();
    RouteDiffWindow* window = OpenFromMenu();
    QVERIFY(window != nullptr);
    auto* vrfs = Find<QComboBox>(*window, "cboVrf");
    vrfs->setCurrentIndex(vrfs->findData(U("internal")));  // its summary is read again
    auto* uptime = Find<QCheckBox>(*window, "chkIgnore(uptime)");
    QTimer::singleShot(0, uptime, &QCheckBox::click);  // while the export runs
    const QByteArray csv = Exported(*window, ExportFormat::kCsv);
    QCOMPARE(csv, Cli({U("--vrf"), U("internal"), U("--format"), U("csv"), before_, after_}));
    QVERIFY(!uptime->isChecked());
    if (window->busy()) {
      QSignalSpy done(window, &RouteDiffWindow::workDone);
      QVERIFY(done.wait(60000));
    }
    QCOMPARE(window->result()->summary.ignored, kestrelon::tables::RouteFields{});
  }

  void failedRereadKeepsTheDiffInView() {
    RouteDiffWindow* window = OpenFromMenu();
    QVERIFY(window != nullptr);
    QFile::remove(after_);
    Find<QAction>(*window, "mReread")->trigger();
    QSignalSpy done(window, &RouteDiffWindow::workDone);
    QVERIFY(done.wait(60000));
    QCOMPARE(fixture_->errors.size(), 1);
    QVERIFY(fixture_->errors[0].contains(U("after.txt")));
    QVERIFY(window->isVisible());
    QCOMPARE(window->model().rowCount(), 4);
  }

  void closingWhileReadingIsSafeAndWritesNothing_data() {
    QTest::addColumn<bool>("mainWindowEnds");
    QTest::newRow("the route diff window") << false;
    QTest::newRow("the main window, the program ending") << true;
  }

  void closingWhileReadingIsSafeAndWritesNothing() {
    QFETCH(bool, mainWindowEnds);
    WriteLargePair();
    const QString folder = fixture_->Path("");
    const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    fixture_->window().SetInputName(1, before_);
    fixture_->window().SetInputName(2, after_);
    fixture_->item("mRouteDiff")->trigger();
    QPointer<RouteDiffWindow> window = fixture_->window().findChild<RouteDiffWindow*>();
    QVERIFY(window != nullptr && window->busy());
    if (mainWindowEnds) {
      const QStringList errors = fixture_->errors;
      fixture_.reset();
      QVERIFY(window.isNull());
      QVERIFY(errors.isEmpty());
      return;
    }
    window->close();
    QVERIFY(!window.isNull() && !window->isVisible());  // gone from view, its reading ends
    QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), 60000);
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), files);
    QVERIFY(fixture_->errors.isEmpty());
  }
};

QTEST_MAIN(RouteDiffWindowTest)
#include "route_diff_window_test.moc"
