#include "gui/common/ListModel.h"

#include "gui/common/SystemIcons.h"

namespace orbisk {

ListModel::ListModel(QStringList captions, QObject* parent)
    : QAbstractTableModel(parent), captions_(std::move(captions)) {}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= captions_.size()) return {};
    return captions_[section];
}

bool ListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                              int role) {
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole))
        return false;
    if (section < 0 || section >= captions_.size()) return false;
    captions_[section] = value.toString();
    Q_EMIT headerDataChanged(orientation, section, section);
    return true;
}

void ListModel::FollowSystemIcons(int column) {
    connect(&SystemIconsSwitch::Instance(), &SystemIconsSwitch::Switched, this, [this, column] {
        if (rowCount() > 0)
            Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column),
                               {Qt::DecorationRole});
    });
}

} // namespace orbisk
