// The check-box list of the main window: the core's PointList as a Qt list
// model. Each row is one record (Qt::DisplayRole, shown as Latin-1 text) with
// its tick (Qt::CheckStateRole, user-checkable). The list is replaced in one
// step and ticked or unticked as a whole in one step, so a list of 100,000
// records loads and changes without a visible pause.
#pragma once

#include <QAbstractListModel>
#include <cstddef>
#include <vector>

#include "core/point_list.h"

namespace korvexa {

class PointListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit PointListModel(QObject* parent = nullptr);

  // The records and ticks in list order, as Create reads them.
  const PointList& points() const { return points_; }

  // Replaces every entry (one model reset).
  void SetPoints(PointList points);

  // Ticks or unticks every entry (one change over the whole list).
  void SetAllTicked(bool ticked);

  // Ticks or unticks the entries at `rows` (indices into points(); any
  // order, repeats allowed): one change from the first to the last of them.
  void SetTicked(const std::vector<std::size_t>& rows, bool ticked);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  PointList points_;
};

}  // namespace korvexa
