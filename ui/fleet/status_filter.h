// The fleet window's sorting and its filter by status: the rows of the statuses chosen.
#pragma once

#include <QSortFilterProxyModel>
#include <array>

#include "report/fleet_report.h"

namespace kestrelon::ui::fleet {

inline constexpr std::size_t kStatusCount = 5;

class StatusFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit StatusFilter(QObject* parent = nullptr);

  void SetShown(report::DeviceStatus status, bool shown);
  bool IsShown(report::DeviceStatus status) const;

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  std::array<bool, kStatusCount> shown_{true, true, true, true, true};
};

}  // namespace kestrelon::ui::fleet
