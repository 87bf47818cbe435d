// The fleet window on two folders made from real captures (a device changed, one the same, one
// on each side only, one that cannot be read): its rows, statuses and counts agree with
// kestrelon-cli diff on the folders, it filters and sorts, a double click opens the route diff
// of the pair, its exports are the command line's reports, and stopping at any time is safe.
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "ui/fleet/device_table_model.h"
#include "ui/fleet/fleet_window.h"
#include "ui/route_diff/route_diff_window.h"
#include "window_fixture.h"

using namespace kestrelon::testing;
using kestrelon::ui::fleet::DeviceTableModel;
using kestrelon::ui::fleet::FleetFormat;
using kestrelon::ui::fleet::FleetWindow;

namespace {

const QString kCorpus = QStringLiteral(KESTRELON_REAL_CORPUS);

QByteArray Capture(const char* name) {
  return Read(kCorpus + QLatin1Char('/') + U(name));
}

// core2 after the change: a metric changed, a route gone and one new.
QByteArray Changed(QByteArray text) {
  return WithEdits(
      std::move(text),
      {{"4.4.0.0 [110/20]", "4.4.0.0 [110/30]"},
       {"O E2 212.0.0.0/8 [110/20] via 194.0.0.2, 00:05:35, FastEthernet0/0.100\n", ""},
       {"C    194.0.0.0/16", "S    10.99.0.0/16 [1/0] via 194.0.0.9\nC    194.0.0.0/16"}});
}

}  // namespace

class FleetWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<WindowFixture> fixture_;
  QString before_;
  QString after_;

  FleetWindow* Open(const QString& before, const QString& after) {
    fixture_->window().OpenFleet(before, after);
    return fixture_->window().findChild<FleetWindow*>();
  }

  static void WaitFor(FleetWindow* window) {
    if (window->busy()) {
      QSignalSpy done(window, &FleetWindow::workDone);
      QVERIFY(done.wait(120000));
    }
  }

  // Device name to its row in the window's table, as shown.
  static QMap<QString, int> Rows(const FleetWindow& window) {
    QMap<QString, int> rows;
    const auto& shown = window.shown();
    for (int row = 0; row < shown.rowCount(); ++row) {
      rows.insert(shown.index(row, DeviceTableModel::kDevice).data().toString(), row);
    }
    return rows;
  }

 private Q_SLOTS:
  void init() {
    if (!QFile::exists(kCorpus + U("/ntc_ios_mixed_protocols.txt"))) {
      QSKIP("the shared real captures are not beside the checkout");
    }
    qputenv("SOURCE_DATE_EPOCH", "1765000000");
    fixture_ = std::make_unique<WindowFixture>();
    QDir(fixture_->Path("")).mkpath(U("before"));
    QDir(fixture_->Path("")).mkpath(U("after"));
    before_ = fixture_->Path("before");
    after_ = fixture_->Path("after");
    const QByteArray core2 = Capture("ntc_ios_mixed_protocols.txt");
    fixture_->MakeFile("before/pre-core2.txt", core2);
    fixture_->MakeFile("after/post-core2.txt", Changed(core2));
    fixture_->MakeFile("before/edge3.log", Capture("ntc_eos_bgp.txt"));
    fixture_->MakeFile("after/edge3.log", Capture("ntc_eos_bgp.txt"));
    fixture_->MakeFile("before/xr4.log", Capture("genie_xr_ipv6_isis_default.txt"));
    fixture_->MakeFile("after/nx5.log", Capture("ntc_nxos_default.txt"));
    fixture_->MakeFile("before/bad6.log", Capture("ntc_ios_vrf_tri_bgp.txt"));
    fixture_->MakeFile("after/bad6.log", "login: admin\nPassword:\nConnection closed.\n");
  }

  void cleanup() { fixture_.reset(); }

  void showsTheFleetAsTheCliReportsIt() {
    QAction* entry = fixture_->item("mFleetDiff");
    QCOMPARE(entry->text(), U("フォルダを比較(&M)..."));
    QVERIFY(fixture_->menu("mRun")->actions().contains(entry));

    FleetWindow* window = Open(before_, after_);
    QVERIFY(window != nullptr);
    WaitFor(window);
    QVERIFY2(fixture_->errors.isEmpty(), qPrintable(fixture_->errors.join(U("\n"))));

    // Every device, its status and counts as in the command line's JSON report.
    const QJsonArray devices =
        QJsonDocument::fromJson(CliDiff({before_, after_, U("--format"), U("json")}))
            .object()[U("devices")]
            .toArray();
    QCOMPARE(devices.size(), 5);
    const QMap<QString, int> rows = Rows(*window);
    QCOMPARE(rows.keys(), QStringList({U("ASR-01"), U("bad6"), U("core2"), U("edge3"), U("nx5")}));
    const auto cell = [window](int row, int column) {
      return window->shown().index(row, column).data().toString();
    };
    for (const QJsonValue& value : devices) {
      const QJsonObject device = value.toObject();
      const int row = rows.value(device[U("device")].toString());
      const auto status =
          kestrelon::report::DeviceStatusFromName(device[U("status")].toString().toStdString());
      QVERIFY(status);
      QCOMPARE(cell(row, DeviceTableModel::kStatus), DeviceTableModel::StatusName(*status));
      QCOMPARE(window->shown().index(row, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
               DeviceTableModel::StatusColour(*status));
      const QJsonObject total = device[U("summary")].toObject();
      for (const auto& [key, column] : {std::pair{"removed", DeviceTableModel::kRemoved},
                                        {"added", DeviceTableModel::kAdded},
                                        {"changed", DeviceTableModel::kChanged}}) {
        const QString expected =
            total.isEmpty() ? QString() : QString::number(total[U(key)].toInt());
        QCOMPARE(cell(row, column), expected);
      }
    }
    QCOMPARE(cell(rows[U("core2")], DeviceTableModel::kRemoved), U("1"));
    QCOMPARE(cell(rows[U("core2")], DeviceTableModel::kAdded), U("1"));
    QVERIFY(!cell(rows[U("bad6")], DeviceTableModel::kReason).isEmpty());
    const QString summary = window->findChild<QLabel*>(U("lblSummary"))->text();
    QVERIFY2(summary.contains(U("装置 5 台")) && summary.contains(U("削除 1")),
             qPrintable(summary));

    // Sorted by removed routes, most first; then only the devices of one side.
    window->table()->sortByColumn(DeviceTableModel::kRemoved, Qt::DescendingOrder);
    QCOMPARE(cell(0, DeviceTableModel::kDevice), U("core2"));
    for (const char* status : {"same", "changed", "unreadable"}) {
      fixture_->window()
          .findChild<QCheckBox*>(U("chkStatus(%1)").arg(U(status)))
          ->setChecked(false);
    }
    QCOMPARE(Rows(*window).keys(), QStringList({U("ASR-01"), U("nx5")}));
    QCOMPARE(window->findChild<QLabel*>(U("lblShown"))->text(), U("表示 2 台 ／ 全 5 台"));
    QVERIFY(!window->OpenDevice(0));  // one side only: nothing to diff
    fixture_->window().findChild<QCheckBox*>(U("chkStatus(changed)"))->setChecked(true);

    // A double click on core2 opens the main window's route diff of its two captures.
    QTableView* table = window->table();
    const QModelIndex core2 = window->shown().index(Rows(*window)[U("core2")], 0);
    const QPoint at = table->visualRect(core2).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    auto* diff = fixture_->window().findChild<kestrelon::ui::route_diff::RouteDiffWindow*>();
    QVERIFY(diff != nullptr);
    QCOMPARE(diff->windowTitle(), U("経路差分 - pre-core2.txt → post-core2.txt"));

    // The exports are the command line's reports, byte for byte, the filter notwithstanding.
    const QStringList folders = {before_, after_};
    const std::pair<FleetFormat, QStringList> formats[] = {
        {FleetFormat::kHtml, {U("--format"), U("html"), U("--lang"), U("ja")}},
        {FleetFormat::kJson, {U("--format"), U("json")}},
        {FleetFormat::kCsv, {U("--format"), U("csv")}}};
    for (const auto& [format, options] : formats) {
      const QString path = fixture_->Path("fleet.out");
      QVERIFY(window->ExportTo(format, path));
      QCOMPARE(Read(path), CliDiff(folders + options));
    }
    // Never over a capture it was made from.
    QVERIFY(!window->ExportTo(FleetFormat::kCsv, before_ + U("/edge3.log")));
    QVERIFY(fixture_->errors.join(U("\n")).contains(U("one of the captures")));
    QCOMPARE(Read(before_ + U("/edge3.log")), Capture("ntc_eos_bgp.txt"));
  }

  void stopsWhenCancelledOrClosed() {
    // Pairs large enough that the run is still going when told to stop.
    QDir(fixture_->Path("")).mkpath(U("many1"));
    QDir(fixture_->Path("")).mkpath(U("many2"));
    QByteArray big = Capture("ntc_ios_mixed_protocols.txt");
    for (int i = 0; i < 20000; ++i) {
      big += "S    10." + QByteArray::number(i / 256) + "." + QByteArray::number(i % 256) +
             ".0/24 [1/0] via 194.0.0.9\n";
    }
    for (int i = 0; i < 20; ++i) {
      Write(fixture_->Path("many1") + U("/r%1.log").arg(i), big);
      Write(fixture_->Path("many2") + U("/r%1.log").arg(i), Changed(big));
    }
    FleetWindow* window = Open(fixture_->Path("many1"), fixture_->Path("many2"));
    QVERIFY(window->busy());
    window->Cancel();
    WaitFor(window);
    QCOMPARE(window->devices().rowCount(), 0);
    QVERIFY(!window->findChild<QPushButton*>(U("cmdExportHtml"))->isEnabled());
    QVERIFY(fixture_->errors.isEmpty());

    // Read again, then closed while reading: the window goes once its run has stopped.
    window->Reread();
    QVERIFY(window->busy());
    QSignalSpy gone(window, &QObject::destroyed);
    window->close();
    QVERIFY(gone.wait(120000));
    QVERIFY(fixture_->window().findChild<FleetWindow*>() == nullptr);
  }
};

QTEST_MAIN(FleetWindowTest)
#include "fleet_window_test.moc"
