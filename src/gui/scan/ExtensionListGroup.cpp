#include "gui/scan/ExtensionListGroup.h"

#include <QCollator>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "core/catalog/Common.h"
#include "gui/common/ListView.h"
#include "gui/common/Named.h"
#include "gui/common/SystemIcons.h"
#include "gui/common/Text.h"

namespace orbisk {

namespace {

// What the user sees is ordered by the platform's text order; equal texts
// by their bytes, so the order never depends on insertion.
bool Before(const QCollator& order, const TExtensionListModel::Row& row, const QString& shown,
            const std::string& caption) {
    const int c = order.compare(row.Shown, shown);
    return c != 0 ? c < 0 : row.Caption < caption;
}

} // namespace

TExtensionListModel::TExtensionListModel(QObject* parent)
    : ListModel({QStringLiteral("Přípona")}, parent) {
    FollowSystemIcons(0);
}

std::int32_t TExtensionListModel::SlotAt(int) const {
    return 0; // rows stand for no record
}

int TExtensionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant TExtensionListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() != 0) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.Shown;
    case Qt::DecorationRole: {
        // The picture of a file with that extension.
        const std::string name = "x" + row.Caption;
        return EntryIcon(name, false, FileClassIcon(name));
    }
    case Qt::CheckStateRole:
        return row.Ticked ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool TExtensionListModel::Contains(const std::string& caption) const {
    return std::any_of(rows_.begin(), rows_.end(),
                       [&](const Row& row) { return row.Caption == caption; });
}

int TExtensionListModel::Add(const std::string& caption, bool ticked) {
    if (Contains(caption)) return -1;
    static const QCollator order;
    const QString shown = DecodeText(caption);
    const auto at = std::find_if(rows_.begin(), rows_.end(), [&](const Row& row) {
        return !Before(order, row, shown, caption);
    });
    const int row = static_cast<int>(at - rows_.begin());
    beginInsertRows({}, row, row);
    rows_.insert(at, Row{caption, shown, ticked});
    endInsertRows();
    return row;
}

void TExtensionListModel::RemoveRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void TExtensionListModel::Toggle(int row) {
    if (row < 0 || row >= rowCount()) return;
    Row& r = rows_[static_cast<std::size_t>(row)];
    r.Ticked = !r.Ticked;
    const QModelIndex at = index(row, 0);
    Q_EMIT dataChanged(at, at, {Qt::CheckStateRole});
}

void TExtensionListModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

TExtensionListGroup::TExtensionListGroup(const QString& caption, const Names& names,
                                         const std::vector<std::string>& builtIn, QWidget* parent)
    : QGroupBox(caption, parent), Label(Named(new QLabel(QStringLiteral("Přípona")), names.Label)),
      Edit(Named(new QLineEdit, names.Edit)),
      Button_Add(Named(new QPushButton(QStringLiteral("Přidej")), names.Add)),
      Button_Remove(Named(new QPushButton(QStringLiteral("Uber")), names.Remove)),
      Button_Save(Named(new QPushButton(QStringLiteral("Ulož")), names.Save)),
      List(Named(new ListView, names.List)), model_(new TExtensionListModel(this)),
      extras_(new QVBoxLayout) {
    setObjectName(QString::fromLatin1(names.Group));
    Label->setBuddy(Edit);
    for (QPushButton* button : {Button_Add, Button_Remove, Button_Save})
        button->setAutoDefault(false);
    Button_Remove->setEnabled(false);
    List->SetModel(model_);
    List->SetMultiSelection(false);
    // The rows keep the caption order; the header offers no other.
    List->Report()->header()->setSectionsClickable(false);
    List->Report()->header()->setSortIndicatorShown(false);
    for (const std::string& extension : builtIn)
        model_->Add(extension, false);

    auto* field = new QHBoxLayout;
    field->addWidget(Label);
    field->addWidget(Edit, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button_Add);
    buttons->addWidget(Button_Remove);
    buttons->addWidget(Button_Save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addLayout(buttons);
    layout->addWidget(List, 1);
    layout->addLayout(extras_);

    connect(Button_Add, &QPushButton::clicked, this, &TExtensionListGroup::AddExtension);
    connect(Button_Remove, &QPushButton::clicked, this, &TExtensionListGroup::RemoveSelected);
    connect(Button_Save, &QPushButton::clicked, this, &TExtensionListGroup::SaveRequested);
    connect(List, &ListView::SelectionChanged, this, &TExtensionListGroup::UpdateRemoveButton);
    connect(model_, &QAbstractItemModel::modelReset, this,
            &TExtensionListGroup::UpdateRemoveButton);
    connect(model_, &QAbstractItemModel::rowsRemoved, this,
            &TExtensionListGroup::UpdateRemoveButton);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(List->Report()),
                                    static_cast<QAbstractItemView*>(List->Icons())})
        connect(view, &QAbstractItemView::clicked, this,
                [this](const QModelIndex& index) { model_->Toggle(index.row()); });
    List->SetKeyHandler([this](QKeyEvent& key) {
        if (key.modifiers() & ~Qt::KeypadModifier) return false;
        if (key.key() == Qt::Key_Delete) {
            RemoveSelected();
            return true;
        }
        if (key.key() == Qt::Key_Space) {
            ToggleSelected();
            return true;
        }
        return false;
    });
}

void TExtensionListGroup::Fill(const std::vector<std::string>& all,
                               const std::vector<std::string>& selected) {
    if (all.empty() && selected.empty()) return;
    model_->Clear();
    for (const std::string& extension : selected)
        model_->Add(UpperAscii(extension), true);
    for (const std::string& extension : all)
        model_->Add(UpperAscii(extension), false);
}

void TExtensionListGroup::Collect(std::vector<std::string>& all,
                                  std::vector<std::string>& selected) const {
    all.clear();
    selected.clear();
    for (const TExtensionListModel::Row& row : model_->Rows()) {
        all.push_back(row.Caption);
        if (row.Ticked) selected.push_back(row.Caption);
    }
}

void TExtensionListGroup::AddExtension() {
    QString text = Edit->text();
    if (text.isEmpty()) return;
    if (!text.startsWith(QLatin1Char('.'))) {
        text.prepend(QLatin1Char('.'));
        Edit->setText(text);
    }
    const int row = model_->Add(UpperAscii(EncodeText(text, TCodePage::Utf8)), true);
    if (row >= 0) List->CurrentView()->scrollTo(model_->index(row, 0));
}

void TExtensionListGroup::RemoveSelected() {
    const std::vector<int> rows = List->SelectedRows();
    if (!rows.empty()) model_->RemoveRow(rows.front());
}

void TExtensionListGroup::ToggleSelected() {
    const std::vector<int> rows = List->SelectedRows();
    if (!rows.empty()) model_->Toggle(rows.front());
}

void TExtensionListGroup::UpdateRemoveButton() {
    Button_Remove->setEnabled(!List->SelectedRows().empty());
}

} // namespace orbisk
