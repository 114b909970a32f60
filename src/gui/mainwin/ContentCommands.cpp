#include "gui/mainwin/ContentCommands.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>

#include "core/catalog/Browse.h"
#include "core/catalog/Common.h"
#include "core/catalog/ProgramValues.h"
#include "core/search/Match.h"
#include "gui/common/Menus.h"
#include "gui/common/Prompt.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/ContentModel.h"
#include "gui/mainwin/NotePanel.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/mainwin/TForm_Mask.h"

namespace orbisk {

namespace {} // namespace

ContentCommands::ContentCommands(TForm_Main& form, ContentBrowser& browser)
    : QObject(&form), form_(form), browser_(browser), menu_(new QMenu(&form)) {
    menu_->setObjectName(QStringLiteral("PopupMenu_Dir"));
    Action_Run = MenuEntry(*menu_, "Action_DirRun", QStringLiteral("Otevři (spust)"));
    Action_Delete = MenuEntry(*menu_, "Action_DirDelete", QStringLiteral("Odstranit"));
    Action_AddToDb =
        MenuEntry(*menu_, "Action_DirAddToDb", QStringLiteral("Přidej do databáze ..."));
    Action_Size =
        MenuEntry(*menu_, "Action_DirSize", QStringLiteral("Spočítej velikost (mezerník)"));
    menu_->addSeparator();
    QMenu* filter = menu_->addMenu(QStringLiteral("Filtr zobrazení"));
    filter->setObjectName(QStringLiteral("Menu_DirFilter"));
    Action_ShowAll = MenuEntry(*filter, "Action_DirShowAll", QStringLiteral("Vše"));
    Action_Commented = MenuEntry(*filter, "Action_DirCommented", QStringLiteral("Komentované"));
    auto* group = new QActionGroup(menu_);
    for (QAction* choice : {Action_ShowAll, Action_Commented}) {
        choice->setCheckable(true);
        group->addAction(choice);
    }
    connect(Action_Run, &QAction::triggered, &browser_, &ContentBrowser::RunSelection);
    connect(Action_Delete, &QAction::triggered, this, &ContentCommands::DeleteCommand);
    connect(Action_Size, &QAction::triggered, this, &ContentCommands::SizeCommand);
    connect(Action_ShowAll, &QAction::triggered, this, [this] { SetShowAll(true); });
    connect(Action_Commented, &QAction::triggered, this, [this] { SetShowAll(false); });
    UpdateMenuState();
}

ContentCommands::~ContentCommands() = default;

void ContentCommands::DeleteCommand() {
    const std::vector<int> rows = browser_.List().SelectedRows();
    if (rows.empty() || form_.Busy()) return;
    TArch& arch = form_.CurrentArchive;
    const std::string path = form_.CurrentPath;
    const TDirIndex dirs(arch);
    std::vector<std::int32_t> recs;
    std::int64_t total = 0;
    for (int row : rows) {
        recs.push_back(browser_.Model().SlotAt(row));
        total += ItemSize(arch, path, recs.back(), dirs);
    }
    const TMainControls& c = form_.Controls();
    const QString question =
        c.LabelT1->text() + QStringLiteral("  ( ") + QString::number(rows.size()) +
        QLatin1Char(' ') + c.LabelT7->text() + QLatin1Char(' ') +
        QString::fromStdString(FormatSize(std::to_string(total))) + QStringLiteral(" bytes )");
    if (Prompt::Question(c.LabelT3->text(), question, PromptButtons::OkCancel) != PromptAnswer::Ok)
        return;
    browser_.StorePendingNote();
    for (std::int32_t rec : recs)
        MarkDeleted(arch, path, rec);
    form_.SetModified(true);
    browser_.ListFolder(path);
    if (browser_.ClearSearchResults) browser_.ClearSearchResults();
}

void ContentCommands::SizeCommand() {
    const std::vector<int> rows = browser_.List().SelectedRows();
    if (rows.size() != 1) return;
    const TArch& arch = form_.CurrentArchive;
    const std::int64_t size =
        ItemSize(arch, form_.CurrentPath, browser_.Model().SlotAt(rows.front()), TDirIndex(arch));
    browser_.Model().SetSizeText(rows.front(), FormatSize(std::to_string(size)));
}

TForm_Mask& ContentCommands::MaskWindow() {
    // The window list creates the mask window as a child of the main window;
    // a main window made on its own (as in a test) gets its own on first use.
    auto* window = form_.findChild<TForm_Mask*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) window = new TForm_Mask(&form_);
    return *window;
}

void ContentCommands::MaskCommand(bool extend) {
    if (form_.Busy()) return;
    std::optional<QString> mask = MaskWindow().Ask(extend, Program().MaskHistory, &browser_.List());
    if (mask) ApplyMask(*mask, extend);
}

void ContentCommands::ApplyMask(const QString& mask, bool extend) {
    const std::string typed = RemoveBlanks(mask.toStdString());
    AddToHistory(Program().MaskHistory, typed);
    // Names are compared as stored, so the mask takes the archive's code page.
    const std::string pattern =
        UpperAscii(EncodeText(QString::fromStdString(typed), browser_.Notes().CodePage()));
    ListView& list = browser_.List();
    if (list.SelectedCount() == 1) list.ClearSelection();
    const ContentModel& model = browser_.Model();
    const TArch& arch = form_.CurrentArchive;
    std::vector<int> rows;
    std::string marked;
    for (int row = 0; row < model.rowCount(); ++row) {
        const TFolderRow* shown = model.RowAt(row);
        if (shown->Folder) continue;
        const TRec& rec = arch.Recs[static_cast<std::size_t>(shown->Rec)];
        if (MatchMaskMarked(false, rec.Name, pattern, marked)) rows.push_back(row);
    }
    list.SetRowsSelected(rows, extend);
}

void ContentCommands::SetShowAll(bool all) {
    Program().ShowAll = all;
    UpdateMenuState();
    browser_.ListFolder(form_.CurrentPath);
}

void ContentCommands::UpdateMenuState() {
    const int selected = browser_.List().SelectedCount();
    Action_Run->setEnabled(selected == 1);
    Action_Delete->setEnabled(selected >= 1);
    Action_AddToDb->setEnabled(selected >= 1);
    Action_Size->setEnabled(selected == 1);
    (Program().ShowAll ? Action_ShowAll : Action_Commented)->setChecked(true);
}

void ContentCommands::ShowContextMenu(const QPoint& globalPos) {
    UpdateMenuState();
    menu_->popup(globalPos);
}

} // namespace orbisk
