#include "ui/fleet/status_filter.h"

#include "ui/fleet/device_table_model.h"

namespace kestrelon::ui::fleet {

StatusFilter::StatusFilter(QObject* parent) : QSortFilterProxyModel(parent) {
  setSortRole(DeviceTableModel::kSortRole);
  setSortLocaleAware(false);
}

void StatusFilter::SetShown(report::DeviceStatus status, bool shown) {
  const auto at = static_cast<std::size_t>(status);
  if (shown_[at] == shown) {
    return;
  }
  shown_[at] = shown;
  invalidateRowsFilter();
}

bool StatusFilter::IsShown(report::DeviceStatus status) const {
  return shown_[static_cast<std::size_t>(status)];
}

bool StatusFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
  const int status = index.data(DeviceTableModel::kStatusRole).toInt();
  return status >= 0 && static_cast<std::size_t>(status) < kStatusCount &&
         shown_[static_cast<std::size_t>(status)];
}

}  // namespace kestrelon::ui::fleet
