// The controls of the search windows and how they are laid out.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "gui/common/ListView.h"
#include "gui/common/Named.h"
#include "gui/search/MarkedLineDelegate.h"
#include "gui/search/ResultModels.h"
#include "gui/search/SearchWindow.h"

namespace orbisk {

namespace {

QCheckBox* Check(const char* name, const QString& caption, bool checked) {
    auto* box = Named(new QCheckBox(caption), name);
    box->setChecked(checked);
    return box;
}

QComboBox* Choice(const char* name, const QStringList& items) {
    auto* box = Named(new QComboBox, name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(0);
    return box;
}

QLabel* Panel(QStatusBar* bar, const QString& text, int stretch) {
    auto* label = new QLabel(text);
    bar->addWidget(label, stretch);
    return label;
}

} // namespace

void TSearchWindow::BuildControls(const QString& markCaption) {
    Edit1 = Choice("Edit1", {QStringLiteral("*"), QStringLiteral("*.*")});
    Edit1->setEditText(QStringLiteral("*.*"));
    Edit1->setMinimumWidth(220);
    Edit1->setToolTip(QStringLiteral("abc.efg\n*bc*.*\nab?.*\n*bc?*.r??"));
    // The history stays in the drop-down list: completing the typed text
    // inline would search a pattern the user never typed ("*.h" as "*.html").
    Edit1->setCompleter(nullptr);
    CheckBox_Star = Check("CheckBox_Star", QStringLiteral("doplňuj na  *maska*"), false);
    CheckBox = Check("CheckBox", QStringLiteral("Rozlišovat malá a velká písmena"), false);
    CheckBoxZob = Check("CheckBoxZob", QStringLiteral("Zobrazovat jako Text nebo Ikony"), false);
    CheckBox_Size = Check("CheckBox_Size", QStringLiteral("Velikost"), false);
    ComboBox_Zn =
        Choice("ComboBox_Zn", {QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<")});
    Edit_Size = Named(new QLineEdit, "Edit_Size");
    ComboBox_Unit =
        Choice("ComboBox_Unit", {QStringLiteral(" B"), QStringLiteral("kB"), QStringLiteral("MB"),
                                 QStringLiteral("GB"), QStringLiteral("TB")});
    ComboBox_Unit->setCurrentIndex(1);
    CheckBox_Pozn = Check("CheckBox_Pozn", QStringLiteral("Poznámka"), false);
    Edit_Pozn = Named(new QLineEdit, "Edit_Pozn");
    ComboBox_Pozn = Choice("ComboBox_Pozn", {QStringLiteral("OR"), QStringLiteral("AND")});
    CheckBox_Popis = Check("CheckBox_Popis", QStringLiteral("Popis"), false);
    Edit_Popis = Named(new QLineEdit, "Edit_Popis");
    ComboBox_Popis = Choice("ComboBox_Popis", {QStringLiteral("OR"), QStringLiteral("AND")});
    CheckBox_Clear = Check("CheckBox_Clear", QStringLiteral("Smazat po zavření"), true);
    CheckBox_C = Check("CheckBox_C", markCaption, true);
    CheckBox_Wrap = Check("CheckBox_Wrap", QStringLiteral("Zalamovat řádky"), true);
    Memo = Named(new QPlainTextEdit, "Memo");
    Memo->setReadOnly(true);
    Button_Hledej = Named(new QPushButton(QStringLiteral("Hledej")), "Button_Hledej");
    Button_Hledej->setDefault(true);
    Button_Storno = Named(new QPushButton(QStringLiteral("Storno")), "Button_Storno");
    Button_Storno->setAutoDefault(false);
    StatusBar = Named(new QStatusBar, "StatusBar");
    StatusBar->setSizeGripEnabled(false);
    Panel(StatusBar, QStringLiteral("Nalezeno"), 0);
    countPanel_ = Panel(StatusBar, QStringLiteral("0"), 0);
    countPanel_->setMinimumWidth(60);
    Panel(StatusBar, QStringLiteral("Kde"), 0);
    folderPanel_ = Panel(StatusBar, QString(), 1);
    RichEdit = Named(new QListView, "RichEdit");
    RichEdit->setUniformItemSizes(true);
    RichEdit->setModel(textModel_);
    RichEdit->setItemDelegate(delegate_);
    RichEdit->setSelectionMode(QAbstractItemView::SingleSelection);
    RichEdit->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView = Named(new orbisk::ListView, "ListView");
    ListView->SetModel(listModel_);
    // CD, folder, name, size, date, attributes, note, description.
    ListView->SetColumnWidths({100, 200, 300, 80, 135, 50, 160, 200});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(BuildCriteria());
    split->addWidget(BuildResults());
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);
    layout->addWidget(StatusBar);
}

QWidget* TSearchWindow::BuildCriteria() {
    Panel1 = Named(new QWidget, "Panel1");
    auto* grid = new QGridLayout;
    grid->addWidget(Edit1, 0, 0, 1, 3);
    grid->addWidget(Button_Hledej, 0, 3);
    grid->addWidget(Button_Storno, 0, 4);
    grid->addWidget(CheckBox_Star, 1, 0, 1, 2);
    grid->addWidget(CheckBox, 1, 2, 1, 3);
    grid->addWidget(CheckBox_Size, 2, 0);
    grid->addWidget(ComboBox_Zn, 2, 1);
    grid->addWidget(Edit_Size, 2, 2);
    grid->addWidget(ComboBox_Unit, 2, 3);
    grid->addWidget(CheckBox_Pozn, 3, 0);
    grid->addWidget(Edit_Pozn, 3, 1, 1, 2);
    grid->addWidget(ComboBox_Pozn, 3, 3);
    grid->addWidget(CheckBox_Popis, 4, 0);
    grid->addWidget(Edit_Popis, 4, 1, 1, 2);
    grid->addWidget(ComboBox_Popis, 4, 3);
    grid->addWidget(CheckBoxZob, 5, 0, 1, 2);
    grid->addWidget(CheckBox_Clear, 5, 2);
    grid->addWidget(CheckBox_C, 5, 3);
    grid->addWidget(CheckBox_Wrap, 5, 4);
    grid->addWidget(LabelT1, 6, 0);
    LabelT1->hide();
    extra_ = new QVBoxLayout;
    auto* left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(extra_);
    left->addStretch(1);
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(left);
    row->addWidget(Memo, 1);
    return Panel1;
}

QWidget* TSearchWindow::BuildResults() {
    auto* results = new QWidget;
    auto* layout = new QVBoxLayout(results);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit);
    layout->addWidget(ListView);
    return results;
}

} // namespace orbisk
