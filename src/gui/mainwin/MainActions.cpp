#include "gui/mainwin/MainActions.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "gui/common/IconSet.h"

namespace orbisk {

namespace {

// A command whose hint is its text, or hint when one is given; the status
// bar shows the hint too.
QAction* Command(QMainWindow& window, const char* name, const QString& text, const QIcon& icon,
                 const QString& hint = {}) {
    auto* action = new QAction(icon, text, &window);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint.isEmpty() ? QString(text).remove(QLatin1Char('&')) : hint);
    action->setStatusTip(action->toolTip());
    return action;
}

QIcon StandardIcon(QMainWindow& window, QStyle::StandardPixmap icon) {
    return window.style()->standardIcon(icon);
}

QMenu* TopMenu(QMainWindow& window, const char* name, const QString& title) {
    QMenu* menu = window.menuBar()->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

void BuildSoubor(QMainWindow& window, TMainActions& a) {
    a.Open = Command(window, "Action_Open", QStringLiteral("Otevřít ..."),
                     CommandIcon(CommandPicture::Open));
    a.Open->setShortcut(QKeySequence::Open);
    a.Save =
        Command(window, "Action_Save", QStringLiteral("Uložit"), CommandIcon(CommandPicture::Save));
    a.Save->setShortcut(QKeySequence::Save);
    a.Save->setEnabled(false);
    a.ChangeDirLocal =
        Command(window, "Action_ChangeDirLocal", QStringLiteral("Změna adresáře... (místně)"),
                StandardIcon(window, QStyle::SP_DirIcon));
    a.ChangeDirGlobal =
        Command(window, "Action_ChangeDirGlobal", QStringLiteral("Změna adresáře... (všude)"),
                StandardIcon(window, QStyle::SP_DirIcon));
    a.Exit = Command(window, "Action_Exit", QStringLiteral("Konec"),
                     StandardIcon(window, QStyle::SP_DialogCloseButton));
    a.Exit->setShortcut(QKeySequence::Quit);

    a.Soubor->addAction(a.Open);
    a.Soubor->addAction(a.Save);
    a.Soubor->addSeparator();
    a.Soubor->addAction(a.ChangeDirLocal);
    a.Soubor->addAction(a.ChangeDirGlobal);
    a.Jazyk = a.Soubor->addMenu(QStringLiteral("Jazyk"));
    a.Jazyk->setObjectName(QStringLiteral("Menu_Jazyk"));
    a.LanguageImport = Command(window, "Action_LanguageImport", QStringLiteral("Importuj ..."), {});
    a.LanguageExport = Command(window, "Action_LanguageExport", QStringLiteral("Exportuj ..."), {});
    a.Jazyk->addAction(a.LanguageImport);
    a.Jazyk->addAction(a.LanguageExport);
    a.Jazyk->addSeparator();
    a.Languages = new QActionGroup(&window);
    a.Languages->setExclusive(true);
    a.Soubor->addSeparator();
    a.Soubor->addAction(a.Exit);
}

void BuildCDStyles(QMainWindow& window, TMainActions& a) {
    a.CDStyles = new QActionGroup(&window);
    a.CDStyles->setExclusive(true);
    a.CDList = Command(window, "Action_CDList", QStringLiteral("Seznam"),
                       CommandIcon(CommandPicture::ArchiveList),
                       QStringLiteral("Seznam - Archívy jako seznam"));
    a.CDReport = Command(window, "Action_CDReport", QStringLiteral("Detaily"),
                         CommandIcon(CommandPicture::ArchiveReport),
                         QStringLiteral("Detaily - Archívy s podrobnostmi"));
    for (QAction* style : {a.CDList, a.CDReport}) {
        style->setCheckable(true);
        a.CDStyles->addAction(style);
    }
    a.CDReport->setChecked(true);
}

void BuildDirStyles(QMainWindow& window, TMainActions& a) {
    a.DirStyles = new QActionGroup(&window);
    a.DirStyles->setExclusive(true);
    a.DirLargeIcons = Command(window, "Action_DirLargeIcons", QStringLiteral("Velké ikony"),
                              CommandIcon(CommandPicture::LargeIcons),
                              QStringLiteral("Velké ikony - Obsah archívu velkými ikonami"));
    a.DirSmallIcons = Command(window, "Action_DirSmallIcons", QStringLiteral("Malé ikony"),
                              CommandIcon(CommandPicture::SmallIcons),
                              QStringLiteral("Malé ikony - Obsah archívu malými ikonami"));
    a.DirList = Command(window, "Action_DirList", QStringLiteral("Seznam"),
                        CommandIcon(CommandPicture::List),
                        QStringLiteral("Seznam - Obsah archívu jako seznam"));
    a.DirReport = Command(window, "Action_DirReport", QStringLiteral("Detaily"),
                          CommandIcon(CommandPicture::Report),
                          QStringLiteral("Detaily - Obsah archívu s podrobnostmi"));
    for (QAction* style : {a.DirLargeIcons, a.DirSmallIcons, a.DirList, a.DirReport}) {
        style->setCheckable(true);
        a.DirStyles->addAction(style);
    }
    a.DirReport->setChecked(true);
}

} // namespace

TMainActions BuildMainActions(QMainWindow& window, QToolBar& toolBar) {
    TMainActions a;
    window.menuBar()->setObjectName(QStringLiteral("MainMenu"));
    // Alt and the underlined letter open a menu; the letters differ.
    a.Soubor = TopMenu(window, "Menu_Soubor", QStringLiteral("&Soubor"));
    a.Funkce = TopMenu(window, "Menu_Funkce", QStringLiteral("&Funkce"));
    a.Zobrazit = TopMenu(window, "Menu_Zobrazit", QStringLiteral("&Zobrazit"));
    a.Moznosti = TopMenu(window, "Menu_Moznosti", QStringLiteral("&Možnosti"));
    a.Napoveda = TopMenu(window, "Menu_Napoveda", QStringLiteral("&Nápověda"));

    BuildSoubor(window, a);

    a.Grid =
        Command(window, "Action_Grid", QStringLiteral("Mřížka"), CommandIcon(CommandPicture::Grid),
                QStringLiteral("Mřížka - Mřížka v seznamu archívů i v obsahu archívu"));
    a.Grid->setCheckable(true);
    a.Zobrazit->addAction(a.Grid);
    BuildCDStyles(window, a);
    BuildDirStyles(window, a);
    a.Zobrazit->addSeparator();
    a.Zobrazit->addActions(a.CDStyles->actions());
    a.Zobrazit->addSeparator();
    a.Zobrazit->addActions(a.DirStyles->actions());

    a.HomePage = Command(window, "Action_HomePage", QStringLiteral("Domovská WWW stránka"),
                         CommandIcon(CommandPicture::HomePage));
    a.Help = Command(window, "Action_Help", QStringLiteral("Nápověda"),
                     CommandIcon(CommandPicture::Help));
    a.Help->setShortcut(QKeySequence::HelpContents);
    a.About = Command(window, "Action_About", QStringLiteral("O programu"), QIcon());
    a.Napoveda->addAction(a.Help);
    a.Napoveda->addAction(a.HomePage);
    a.Napoveda->addSeparator();
    a.Napoveda->addAction(a.About);

    toolBar.addAction(a.Open);
    toolBar.addAction(a.Save);
    toolBar.addSeparator();
    toolBar.addAction(a.Grid);
    toolBar.addSeparator();
    toolBar.addActions(a.CDStyles->actions());
    toolBar.addSeparator();
    toolBar.addActions(a.DirStyles->actions());
    toolBar.addSeparator();
    toolBar.addAction(a.HomePage);
    toolBar.addAction(a.Help);
    // The styles, the home page and the help show as pictures only, so the
    // whole bar fits the window; their names are their hints.
    for (QAction* pictured :
         a.CDStyles->actions() + a.DirStyles->actions() + QList<QAction*>{a.HomePage, a.Help})
        if (auto* button = qobject_cast<QToolButton*>(toolBar.widgetForAction(pictured)))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);

    EnableMenusWithEntries(a);
    return a;
}

void EnableMenusWithEntries(const TMainActions& a) {
    for (QMenu* menu : {a.Jazyk, a.Soubor, a.Funkce, a.Zobrazit, a.Moznosti, a.Napoveda})
        menu->menuAction()->setEnabled(!menu->isEmpty());
}

} // namespace orbisk
