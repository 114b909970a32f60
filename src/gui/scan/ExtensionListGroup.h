#pragma once
// One group of the extension lists window: the extension field "Přípona",
// the buttons "Přidej", "Uber" and "Ulož" and a list view of extensions with
// a tick per row. The rows are kept sorted by caption; a caption is the
// extension in upper case (ASCII letters, as scans compare extensions).
#include <QGroupBox>
#include <QString>
#include <string>
#include <vector>

#include "gui/common/ListModel.h"

class QBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orbisk {

class ListView;

// The rows of one group: caption bytes and tick, in the text order of the
// shown captions.
class TExtensionListModel : public ListModel {
    Q_OBJECT
public:
    struct Row {
        std::string Caption; // bytes as stored in the list files
        QString Shown;       // the caption as text
        bool Ticked = false;
    };

    explicit TExtensionListModel(QObject* parent = nullptr);

    std::int32_t SlotAt(int row) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const std::vector<Row>& Rows() const { return rows_; }
    bool Contains(const std::string& caption) const;
    // Adds a row for caption at its place in the order unless one with that
    // caption exists; the row added, or -1.
    int Add(const std::string& caption, bool ticked);
    void RemoveRow(int row);
    void Toggle(int row);
    void Clear();

private:
    std::vector<Row> rows_;
};

class TExtensionListGroup : public QGroupBox {
    Q_OBJECT
public:
    // The object names of the group box, the label, the field, the three
    // buttons and the list view.
    struct Names {
        const char* Group;
        const char* Label;
        const char* Edit;
        const char* Add;
        const char* Remove;
        const char* Save;
        const char* List;
    };

    TExtensionListGroup(const QString& caption, const Names& names,
                        const std::vector<std::string>& builtIn, QWidget* parent = nullptr);

    // The rows for the lists: unless both are empty, the view is emptied and
    // gets the selected entries ticked, then the other entries unticked. With
    // both empty it keeps what it shows.
    void Fill(const std::vector<std::string>& all, const std::vector<std::string>& selected);
    // Every row into all and the ticked rows into selected, in row order.
    void Collect(std::vector<std::string>& all, std::vector<std::string>& selected) const;

    // "Přidej": the field gets its leading "." and a ticked row is added for
    // it unless its caption is there already.
    void AddExtension();
    // "Uber" and Delete: removes the selected row.
    void RemoveSelected();
    // A click on a row and Space: toggles the tick of the selected row.
    void ToggleSelected();

    // Where the owner puts further controls of the group, below the list.
    QBoxLayout* Extras() const { return extras_; }
    TExtensionListModel* Model() const { return model_; }

    QLabel* Label;
    QLineEdit* Edit;
    QPushButton* Button_Add;
    QPushButton* Button_Remove;
    QPushButton* Button_Save;
    ListView* List;

Q_SIGNALS:
    void SaveRequested();

private:
    void UpdateRemoveButton();

    TExtensionListModel* model_;
    QBoxLayout* extras_;
};

} // namespace orbisk
