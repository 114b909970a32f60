#pragma once
// The base of every table model that a ListView shows: fixed columns with
// captions (which a language file may rename), and a slot behind each row
// (a Recs index, an archive list slot, a result number ...).
#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>

namespace orbisk {

class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ListModel(QStringList captions, QObject* parent = nullptr);

    // The slot row carries; 0 for a row that stands for no record and
    // outside the rows.
    virtual std::int32_t SlotAt(int row) const = 0;

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

protected:
    // Redraws the pictures of column whenever the system icons are switched
    // on or off (SetSystemIcons).
    void FollowSystemIcons(int column);

private:
    QStringList captions_;
};

} // namespace orbisk
