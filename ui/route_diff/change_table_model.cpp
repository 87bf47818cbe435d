#include "ui/route_diff/change_table_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>
#include <numeric>

#include "tables/text_writer.h"

namespace kestrelon::ui::route_diff {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Hops(const RouteCopy& route, bool interfaces) {
  QStringList parts;
  for (const HopCopy& hop : route.hops) {
    const std::optional<std::string>& part = interfaces ? hop.interface : hop.address;
    if (part) {
      QString text = Text(*part);
      if (!interfaces && hop.vrf) {
        text += QStringLiteral(" (") + Text(*hop.vrf) + QLatin1Char(')');
      }
      parts.push_back(text);
    }
  }
  return parts.join(QStringLiteral(", "));
}

QString Side(const RouteCopy& route, int column) {
  switch (column) {
    case 0:
      return route.flags.empty() ? Text(route.protocol)
                                 : Text(route.protocol) + QLatin1Char(' ') + Text(route.flags);
    case 1: {
      std::vector<tables::NextHopView> hops;
      return Text(tables::CostText(route.View(hops)));
    }
    case 2:
      return Hops(route, false);
    case 3:
      return Hops(route, true);
    default:
      return route.uptime ? Text(*route.uptime) : QString();
  }
}

// Whether a before or after cell shows a field that changed.
bool Marked(const ChangeRow& row, int column) {
  using tables::RouteField;
  const int side = (column - ChangeTableModel::kBeforeProtocol) / 2;
  if (row.change != tables::RouteChange::kChanged || column < ChangeTableModel::kBeforeProtocol) {
    return false;
  }
  switch (side) {
    case 0:
      return row.fields.Has(RouteField::kProtocol) || row.fields.Has(RouteField::kFlags);
    case 1:
      return row.fields.Has(RouteField::kDistance) || row.fields.Has(RouteField::kMetric);
    case 2:
      return row.fields.Has(RouteField::kNextHops);
    case 3:
      return row.fields.Has(RouteField::kInterface);
    default:
      return row.fields.Has(RouteField::kUptime);
  }
}

// Prefixes in numeric order: family, address, length; text when it does not read as one.
bool PrefixLess(const ChangeRow& a, const ChangeRow& b) {
  const RouteCopy& x = a.route();
  const RouteCopy& y = b.route();
  if (x.afi != y.afi) {
    return x.afi < y.afi;
  }
  if (a.network && b.network) {
    return std::tie(*a.network, a.length) < std::tie(*b.network, b.length);
  }
  if (a.network.has_value() != b.network.has_value()) {
    return a.network.has_value();
  }
  return x.prefix < y.prefix;
}

}  // namespace

QString ChangeTableModel::KindName(tables::RouteChange change) {
  switch (change) {
    case tables::RouteChange::kRemoved:
      return QStringLiteral("削除");
    case tables::RouteChange::kAdded:
      return QStringLiteral("追加");
    case tables::RouteChange::kChanged:
      break;
  }
  return QStringLiteral("変更");
}

QString ChangeTableModel::CellText(const ChangeRow& row, int column) {
  const RouteCopy& route = row.route();
  switch (column) {
    case kKind:
      return KindName(row.change);
    case kVrf:
      return Text(route.vrf);
    case kFamily:
      return route.afi == tables::Afi::kIpv4 ? QStringLiteral("IPv4") : QStringLiteral("IPv6");
    case kPrefix:
      return Text(route.prefix);
    case kFields: {
      QStringList names;
      for (const tables::RouteField field : row.fields.List()) {
        names.push_back(Text(tables::RouteFieldName(field)));
      }
      return names.join(QStringLiteral(", "));
    }
    default:
      break;
  }
  const int offset = column - kBeforeProtocol;
  const std::optional<RouteCopy>& side = offset % 2 == 1 ? row.after : row.before;
  return side ? Side(*side, offset / 2) : QString();
}

void ChangeTableModel::SetResult(std::shared_ptr<const DiffResult> result) {
  beginResetModel();
  result_ = std::move(result);
  shown_.clear();
  endResetModel();
}

void ChangeTableModel::SetShown(std::vector<std::uint32_t> shown) {
  beginResetModel();
  shown_ = std::move(shown);
  Sort();
  endResetModel();
}

int ChangeTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int ChangeTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ChangeTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || result_ == nullptr || index.row() >= rowCount()) {
    return {};
  }
  const ChangeRow& row = result_->rows[RowIndex(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return CellText(row, index.column());
    case Qt::BackgroundRole: {
      if (Marked(row, index.column())) {
        return QBrush(QColor(255, 196, 92));
      }
      static const QColor kColours[] = {QColor(255, 218, 218), QColor(214, 245, 214),
                                        QColor(255, 236, 186)};
      return QBrush(kColours[static_cast<int>(row.change)]);
    }
    case Qt::ForegroundRole:
      return QBrush(QColor(0, 0, 0));
    case Qt::FontRole:
      if (Marked(row, index.column()) || index.column() == kKind) {
        QFont font;
        font.setBold(true);
        return font;
      }
      return {};
    default:
      return {};
  }
}

QVariant ChangeTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  // Two lines, so the before and after columns stay narrow.
  static const char* const kHeadings[] = {"種別",
                                          "VRF",
                                          "ファミリ",
                                          "プレフィックス",
                                          "変更項目",
                                          "前\nプロトコル",
                                          "後\nプロトコル",
                                          "前\nAD/メトリック",
                                          "後\nAD/メトリック",
                                          "前\nネクストホップ",
                                          "後\nネクストホップ",
                                          "前\nインタフェース",
                                          "後\nインタフェース",
                                          "前\n経過時間",
                                          "後\n経過時間"};
  return section >= 0 && section < kColumnCount ? QString::fromUtf8(kHeadings[section])
                                                : QVariant();
}

void ChangeTableModel::sort(int column, Qt::SortOrder order) {
  Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<std::uint32_t> held;
  for (const QModelIndex& index : before) {
    held.push_back(RowIndex(index.row()));
  }
  sortColumn_ = column;
  sortOrder_ = order;
  Sort();
  // Selections follow their rows.
  std::vector<int> place(result_ ? result_->rows.size() : 0, -1);
  for (std::size_t i = 0; i < shown_.size(); ++i) {
    place[shown_[i]] = static_cast<int>(i);
  }
  QModelIndexList after;
  for (std::size_t i = 0; i < held.size(); ++i) {
    after.push_back(createIndex(place[held[i]], before[static_cast<int>(i)].column()));
  }
  changePersistentIndexList(before, after);
  Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ChangeTableModel::Sort() {
  if (result_ == nullptr) {
    return;
  }
  std::sort(shown_.begin(), shown_.end());
  if (sortColumn_ < 0 || sortColumn_ >= kColumnCount) {
    return;
  }
  const std::vector<ChangeRow>& rows = result_->rows;
  std::function<bool(std::uint32_t, std::uint32_t)> less;
  std::vector<std::string> keys;
  if (sortColumn_ == kKind) {
    less = [&](std::uint32_t a, std::uint32_t b) { return rows[a].change < rows[b].change; };
  } else if (sortColumn_ == kPrefix) {
    less = [&](std::uint32_t a, std::uint32_t b) { return PrefixLess(rows[a], rows[b]); };
  } else {
    keys.resize(rows.size());
    for (const std::uint32_t index : shown_) {
      keys[index] = CellText(rows[index], sortColumn_).toLower().toStdString();
    }
    less = [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; };
  }
  if (sortOrder_ == Qt::AscendingOrder) {
    std::stable_sort(shown_.begin(), shown_.end(), less);
  } else {
    std::stable_sort(shown_.begin(), shown_.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return less(b, a); });
  }
}

}  // namespace kestrelon::ui::route_diff
