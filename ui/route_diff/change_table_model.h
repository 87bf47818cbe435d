// The list of changes behind the route diff window's table: one row per shown change, with its
// kind, key and both sides; colour by kind, the changed fields marked; sorted by any column
// without copying the rows.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <memory>
#include <vector>

#include "ui/route_diff/change_rows.h"

namespace kestrelon::ui::route_diff {

class ChangeTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    kKind,
    kVrf,
    kFamily,
    kPrefix,
    kFields,
    // Each field before and after side by side, so a change reads at a glance.
    kBeforeProtocol,
    kAfterProtocol,
    kBeforeCost,
    kAfterCost,
    kBeforeHops,
    kAfterHops,
    kBeforeInterfaces,
    kAfterInterfaces,
    kBeforeUptime,
    kAfterUptime,
    kColumnCount
  };

  using QAbstractTableModel::QAbstractTableModel;

  // New rows of a diff, none shown until SetShown.
  void SetResult(std::shared_ptr<const DiffResult> result);
  // The rows to show (indexes into the result's rows, in the core's order); the current sort
  // applies to them.
  void SetShown(std::vector<std::uint32_t> shown);

  const std::vector<std::uint32_t>& shown() const { return shown_; }
  const DiffResult* result() const { return result_.get(); }
  // The result's row behind a table row.
  std::uint32_t RowIndex(int row) const { return shown_[static_cast<std::size_t>(row)]; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  // The text of a cell, as shown.
  static QString CellText(const ChangeRow& row, int column);
  // "削除", "追加", "変更".
  static QString KindName(tables::RouteChange change);

 private:
  void Sort();

  std::shared_ptr<const DiffResult> result_;
  std::vector<std::uint32_t> shown_;
  int sortColumn_ = -1;  // -1: the core's order
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace kestrelon::ui::route_diff
