// The devices of a folder diff as a table for the fleet window: one row a device, in the
// report's order, coloured by status; numbers sort as numbers.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <memory>

#include "report/fleet_report.h"

namespace kestrelon::ui::fleet {

class DeviceTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    kDevice,
    kStatus,
    kPlatformBefore,
    kPlatformAfter,
    kRoutesBefore,
    kRoutesAfter,
    kRemoved,
    kAdded,
    kChanged,
    kNotUnderstood,
    kReason,
    kColumnCount
  };
  // What a cell sorts by: the number itself for counts, the text otherwise.
  static constexpr int kSortRole = Qt::UserRole;
  // The row's report::DeviceStatus, as an int.
  static constexpr int kStatusRole = Qt::UserRole + 1;

  using QAbstractTableModel::QAbstractTableModel;

  void SetReport(std::shared_ptr<const report::FleetReport> report);
  const report::FleetReport* fleet() const { return report_.get(); }
  const report::DeviceResult& device(int row) const;

  // The status as the window and the HTML report name it, and the colour of its rows.
  static QString StatusName(report::DeviceStatus status);
  static QColor StatusColour(report::DeviceStatus status);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::shared_ptr<const report::FleetReport> report_;
};

}  // namespace kestrelon::ui::fleet
