#include "ui/fleet/device_table_model.h"

#include <QBrush>
#include <QFont>
#include <QLocale>
#include <array>

#include "report/html_page.h"
#include "report/report_language.h"

namespace kestrelon::ui::fleet {
namespace {

using report::DeviceStatus;

const report::HtmlLabels& Labels() {
  return report::LabelsFor(report::Language::kJapanese);
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Platform(const std::optional<tables::Platform>& platform) {
  return platform ? Text(tables::PlatformName(*platform)) : QString();
}

// A device of one side or one not read has no counts: its cells stay empty, not 0.
bool HasCounts(const report::DeviceResult& device) {
  return device.status == DeviceStatus::kSame || device.status == DeviceStatus::kChanged;
}

}  // namespace

void DeviceTableModel::SetReport(std::shared_ptr<const report::FleetReport> report) {
  beginResetModel();
  report_ = std::move(report);
  endResetModel();
}

const report::DeviceResult& DeviceTableModel::device(int row) const {
  return report_->devices.at(static_cast<std::size_t>(row));
}

QString DeviceTableModel::StatusName(DeviceStatus status) {
  const report::HtmlLabels& labels = Labels();
  switch (status) {
    case DeviceStatus::kSame:
      return Text(labels.same);
    case DeviceStatus::kChanged:
      return Text(labels.changedDevice);
    case DeviceStatus::kMissingBefore:
      return Text(labels.missingBefore);
    case DeviceStatus::kMissingAfter:
      return Text(labels.missingAfter);
    case DeviceStatus::kUnreadable:
      break;
  }
  return Text(labels.unreadable);
}

QColor DeviceTableModel::StatusColour(DeviceStatus status) {
  // The route diff window's colours, and the HTML report's for the devices of one side and
  // those not read.
  switch (status) {
    case DeviceStatus::kSame:
      return QColor(255, 255, 255);
    case DeviceStatus::kChanged:
      return QColor(255, 236, 186);
    case DeviceStatus::kMissingBefore:
    case DeviceStatus::kMissingAfter:
      return QColor(228, 228, 247);
    case DeviceStatus::kUnreadable:
      break;
  }
  return QColor(242, 184, 184);
}

int DeviceTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || report_ == nullptr ? 0 : static_cast<int>(report_->devices.size());
}

int DeviceTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant DeviceTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || report_ == nullptr) {
    return {};
  }
  const report::DeviceResult& d = device(index.row());
  const int column = index.column();
  const auto number = [&](std::size_t value) -> QVariant {
    if (!HasCounts(d)) {
      return role == kSortRole ? QVariant(qulonglong(0)) : QVariant();
    }
    if (role == kSortRole) {
      return qulonglong(value);
    }
    return QLocale(QLocale::English).toString(qulonglong(value));
  };
  switch (role) {
    case Qt::DisplayRole:
    case kSortRole:
      switch (column) {
        case kDevice:
          return Text(d.device);
        case kStatus:
          return role == kSortRole ? QVariant(static_cast<int>(d.status)) : StatusName(d.status);
        case kPlatformBefore:
          return Platform(d.platformBefore);
        case kPlatformAfter:
          return Platform(d.platformAfter);
        case kRoutesBefore:
          return number(d.counts.before);
        case kRoutesAfter:
          return number(d.counts.after);
        case kRemoved:
          return number(d.counts.removed);
        case kAdded:
          return number(d.counts.added);
        case kChanged:
          return number(d.counts.changed);
        case kNotUnderstood:
          return number(d.notUnderstoodBefore + d.notUnderstoodAfter);
        case kReason:
          return Text(d.reason);
        default:
          return {};
      }
    case kStatusRole:
      return static_cast<int>(d.status);
    case Qt::ToolTipRole:
      if (column == kDevice || column == kReason) {
        QStringList lines;
        for (const auto& file : {d.beforeFile, d.afterFile}) {
          if (file) {
            lines.push_back(Text(*file));
          }
        }
        if (!d.reason.empty()) {
          lines.push_back(Text(d.reason));
        }
        return lines.join(QLatin1Char('\n'));
      }
      return {};
    case Qt::TextAlignmentRole:
      return column >= kRoutesBefore && column <= kNotUnderstood
                 ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      return QBrush(StatusColour(d.status));
    case Qt::ForegroundRole:
      // Lines not understood may hide routes from the diff: they stand out.
      if (column == kNotUnderstood && d.notUnderstoodBefore + d.notUnderstoodAfter > 0) {
        return QBrush(QColor(176, 0, 0));
      }
      return QBrush(QColor(0, 0, 0));
    case Qt::FontRole:
      if (column == kStatus && d.status != DeviceStatus::kSame) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    default:
      return {};
  }
}

QVariant DeviceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  const report::HtmlLabels& l = Labels();
  const std::array<std::string_view, kColumnCount> captions = {
      l.device,  l.status, l.platformBefore, l.platformAfter, l.routesBefore, l.routesAfter,
      l.removed, l.added,  l.changed,        l.notUnderstood, l.note};
  return section >= 0 && section < kColumnCount ? Text(captions[static_cast<std::size_t>(section)])
                                                : QVariant();
}

}  // namespace kestrelon::ui::fleet
