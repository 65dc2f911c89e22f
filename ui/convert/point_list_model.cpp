#include "ui/convert/point_list_model.h"

#include <algorithm>
#include <utility>

namespace korvexa {

PointListModel::PointListModel(QObject* parent) : QAbstractListModel(parent) {}

void PointListModel::SetPoints(PointList points) {
  beginResetModel();
  points_ = std::move(points);
  endResetModel();
}

void PointListModel::SetAllTicked(bool ticked) {
  if (points_.empty()) return;
  for (PointEntry& entry : points_) entry.ticked = ticked;
  Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

void PointListModel::SetTicked(const std::vector<std::size_t>& rows, bool ticked) {
  if (rows.empty()) return;
  const auto [first, last] = std::minmax_element(rows.begin(), rows.end());
  for (std::size_t row : rows) points_[row].ticked = ticked;
  Q_EMIT dataChanged(index(static_cast<int>(*first)), index(static_cast<int>(*last)), {Qt::CheckStateRole});
}

int PointListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(points_.size());
}

QVariant PointListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  const PointEntry& entry = points_[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromLatin1(entry.line.data(), static_cast<qsizetype>(entry.line.size()));
    case Qt::CheckStateRole:
      return entry.ticked ? Qt::Checked : Qt::Unchecked;
    default:
      return {};
  }
}

bool PointListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole ||
      !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return false;
  }
  points_[static_cast<std::size_t>(index.row())].ticked = value.toInt() == Qt::Checked;
  Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags PointListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

}  // namespace korvexa
