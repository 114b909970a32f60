#include "gui/mainwin/MainLayout.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/common/ListView.h"
#include "gui/common/Named.h"
#include "gui/settings/HiddenTexts.h"

namespace orbisk {

namespace {

QWidget* Pane(const char* name) {
    auto* pane = Named(new QWidget, name);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    return pane;
}

// A title bar: a sunken caption that takes the width, then the buttons.
QWidget* TitleBar(const char* name, QLabel* caption, std::initializer_list<QToolButton*> buttons) {
    auto* bar = Named(new QWidget, name);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    caption->setFrameShape(QFrame::Panel);
    caption->setFrameShadow(QFrame::Sunken);
    caption->setTextFormat(Qt::PlainText);
    caption->setMinimumWidth(20);
    caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(caption, 1);
    for (QToolButton* button : buttons) {
        button->setAutoRaise(true);
        layout->addWidget(button);
    }
    return bar;
}

QToolButton* TitleButton(const char* name, const QString& text, const QString& hint) {
    auto* button = Named(new QToolButton, name);
    button->setText(text);
    button->setToolTip(hint);
    return button;
}

void BuildTreePane(QMainWindow& window, TMainControls& c) {
    c.PanelTree = Pane("PanelTree");
    c.TreeTitle = Named(new QLabel(QString::fromLatin1(kEmptyTreeTitle)), "Label_TreeTitle");
    c.WorkDirButton = TitleButton("SpeedButton_WorkDir", {},
                                  QStringLiteral("Změna pracovního adresáře... (místně)"));
    c.WorkDirButton->setIcon(window.style()->standardIcon(QStyle::SP_DirIcon));
    c.TreeView_Arch = Named(new QTreeView, "TreeView_Arch");
    c.TreeView_Arch->setHeaderHidden(true);
    c.TreeView_Arch->setUniformRowHeights(true);
    c.TreeView_Arch->setContextMenuPolicy(Qt::CustomContextMenu);
    c.TreeView_Arch->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::SelectedClicked);
    c.TreeView_Arch->setExpandsOnDoubleClick(false);
    c.PanelTree->layout()->addWidget(TitleBar("Panel_TreeTitle", c.TreeTitle, {c.WorkDirButton}));
    c.PanelTree->layout()->addWidget(c.TreeView_Arch);
}

void BuildFolderTreePane(TMainControls& c) {
    c.PanelTreeDir = Pane("PanelTreeDir");
    auto* title = Named(new QLabel(QStringLiteral("Strom adresářů")), "Label_TreeDirTitle");
    c.CloseTreeDirButton = TitleButton("SpeedButton_CloseTreeDir", QStringLiteral("X"), {});
    c.TreeView_Dir = Named(new QTreeView, "TreeView_Dir");
    c.TreeView_Dir->setHeaderHidden(true);
    c.TreeView_Dir->setUniformRowHeights(true);
    c.PanelTreeDir->layout()->addWidget(
        TitleBar("Panel_TreeDirTitle", title, {c.CloseTreeDirButton}));
    c.PanelTreeDir->layout()->addWidget(c.TreeView_Dir);
    c.PanelTreeDir->hide();
}

void BuildDirPane(TMainControls& c) {
    c.PanelDir = Pane("PanelDir");
    c.DirTitle = Named(new QLabel(QString::fromLatin1(kRootPath)), "Label_DirTitle");
    c.RootButton = TitleButton("SpeedButton_Root", QStringLiteral("\\"), QStringLiteral("cd \\"));
    c.UpButton = TitleButton("SpeedButton_Up", QStringLiteral(".."), QStringLiteral("cd .."));
    c.ListView_Dir = Named(new ListView, "ListView_Dir");
    c.PanelDir->layout()->addWidget(
        TitleBar("Panel_DirTitle", c.DirTitle, {c.RootButton, c.UpButton}));
    c.PanelDir->layout()->addWidget(c.ListView_Dir);
}

void BuildArchiveListPane(TMainControls& c) {
    c.PanelCD = Pane("PanelCD");
    c.ListView_CD = Named(new ListView, "ListView_CD");
    c.PanelCD->layout()->addWidget(c.ListView_CD);
}

void BuildNotePanel(TMainControls& c) {
    c.PanelNote = Pane("Panel_Note");
    auto* layout = static_cast<QVBoxLayout*>(c.PanelNote->layout());
    layout->setContentsMargins(2, 0, 4, 2);
    c.Edit_Pozn = Named(new QLineEdit, "Edit_Pozn");
    c.Memo_Popis = Named(new QPlainTextEdit, "Memo_Popis");
    c.CheckBox_Wrap = Named(new QCheckBox(QStringLiteral("Zalamovat")), "CheckBox_Wrap");
    c.CheckBox_Wrap->setChecked(true);
    auto* notLabel = Named(new QLabel(QStringLiteral("Poznámka:")), "Label_Pozn");
    auto* descLabel = Named(new QLabel(QStringLiteral("Popis:")), "Label_Popis");
    notLabel->setBuddy(c.Edit_Pozn);
    descLabel->setBuddy(c.Memo_Popis);
    layout->addWidget(notLabel);
    layout->addWidget(c.Edit_Pozn);
    layout->addWidget(descLabel);
    layout->addWidget(c.Memo_Popis, 1);
    layout->addWidget(c.CheckBox_Wrap);
    // Nothing to annotate until an archive is open.
    c.Edit_Pozn->setEnabled(false);
    c.Memo_Popis->setEnabled(false);
}

void BuildStatusBar(QMainWindow& window, TMainControls& c) {
    QStatusBar* bar = window.statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    c.StatusArchives = Named(new QLabel, "Status_Archives");
    c.StatusTotals = Named(new QLabel, "Status_Totals");
    c.StatusSpare = Named(new QLabel, "Status_Spare");
    c.StatusArchives->setTextFormat(Qt::PlainText);
    c.StatusTotals->setTextFormat(Qt::PlainText);
    bar->addWidget(c.StatusArchives, 3);
    bar->addWidget(c.StatusTotals, 2);
    bar->addWidget(c.StatusSpare, 1);
}

QLabel* HiddenLabel(QMainWindow& window, const char* name, const QString& text) {
    auto* label = Named(new QLabel(text, &window), name);
    label->hide();
    return label;
}

void BuildHiddenLabels(QMainWindow& window, TMainControls& c) {
    c.LabelT1 = HiddenLabel(window, "LabelT1", QStringLiteral("Chcete skutečně smazat "));
    c.LabelT2 = HiddenLabel(window, "LabelT2", QStringLiteral(" (soubor "));
    c.LabelT3 = HiddenLabel(window, "LabelT3", QStringLiteral("Potvrzení..."));
    c.LabelT5 = HiddenLabel(window, "LabelT5", QStringLiteral(" souborech"));
    c.LabelT7 = HiddenLabel(window, "LabelT7", QStringLiteral("záznamů"));
    c.LabelT_OpenTitle = HiddenLabel(window, "LabelT_OpenTitle", QStringLiteral("Otevřít"));
    c.LabelT_ChooseFolder =
        HiddenLabel(window, "LabelT_ChooseFolder", QStringLiteral("Vyber pracovní adresář ..."));
    c.LabelT_NoFolder =
        HiddenLabel(window, "LabelT_NoFolder", QStringLiteral("Nelze nalézt adresář."));
    c.LabelT_CannotOpen =
        HiddenLabel(window, "LabelT_CannotOpen", QStringLiteral("Nelze otevřít "));
    AddHiddenTextLabels(window);
}

} // namespace

TMainControls BuildMainLayout(QMainWindow& window) {
    TMainControls c;
    c.ToolBar = Named(new QToolBar(QStringLiteral("Nástroje")), "ToolBar");
    c.ToolBar->setMovable(false);
    // The entry that shows or hides the bar in the bars' context menu.
    c.ToolBar->toggleViewAction()->setObjectName(QStringLiteral("Action_ToolBar"));
    c.ToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    window.addToolBar(Qt::TopToolBarArea, c.ToolBar);

    BuildArchiveListPane(c);
    BuildTreePane(window, c);
    BuildFolderTreePane(c);
    BuildDirPane(c);
    BuildNotePanel(c);
    c.Splitter = Named(new QSplitter(Qt::Horizontal), "Splitter_Main");
    c.Splitter->addWidget(c.PanelTree);
    c.Splitter->addWidget(c.PanelTreeDir);
    c.Splitter->addWidget(c.PanelDir);
    c.Splitter->addWidget(c.PanelNote);
    c.Splitter->setChildrenCollapsible(false);
    c.Splitter->setStretchFactor(0, 1);
    c.Splitter->setStretchFactor(1, 1);
    c.Splitter->setStretchFactor(2, 3);
    c.Splitter->setStretchFactor(3, 1);
    c.Splitter->setSizes({200, 160, 520, 200});
    c.SplitterTop = Named(new QSplitter(Qt::Vertical), "Splitter_Top");
    c.SplitterTop->addWidget(c.PanelCD);
    c.SplitterTop->addWidget(c.Splitter);
    c.SplitterTop->setChildrenCollapsible(false);
    c.SplitterTop->setStretchFactor(0, 1);
    c.SplitterTop->setStretchFactor(1, 3);
    c.SplitterTop->setSizes({150, 450});
    window.setCentralWidget(c.SplitterTop);

    BuildStatusBar(window, c);
    BuildHiddenLabels(window, c);
    return c;
}

} // namespace orbisk
