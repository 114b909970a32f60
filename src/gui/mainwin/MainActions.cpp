#include "gui/mainwin/MainActions.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace orbisk {

namespace {

QAction* Command(QMainWindow& window, const char* name, const QString& text,
                 QStyle::StandardPixmap icon) {
    auto* action = new QAction(window.style()->standardIcon(icon), text, &window);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(QString(text).remove(QLatin1Char('&')));
    return action;
}

QMenu* TopMenu(QMainWindow& window, const char* name, const QString& title) {
    QMenu* menu = window.menuBar()->addMenu(title);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

void BuildSoubor(QMainWindow& window, TMainActions& a) {
    a.Open =
        Command(window, "Action_Open", QStringLiteral("Otevřít ..."), QStyle::SP_DialogOpenButton);
    a.Open->setShortcut(QKeySequence::Open);
    a.Save = Command(window, "Action_Save", QStringLiteral("Uložit"), QStyle::SP_DialogSaveButton);
    a.Save->setShortcut(QKeySequence::Save);
    a.Save->setEnabled(false);
    a.ChangeDirLocal = Command(window, "Action_ChangeDirLocal",
                               QStringLiteral("Změna adresáře... (místně)"), QStyle::SP_DirIcon);
    a.ChangeDirGlobal = Command(window, "Action_ChangeDirGlobal",
                                QStringLiteral("Změna adresáře... (všude)"), QStyle::SP_DirIcon);
    a.Exit = Command(window, "Action_Exit", QStringLiteral("Konec"), QStyle::SP_DialogCloseButton);
    a.Exit->setShortcut(QKeySequence::Quit);

    a.Soubor->addAction(a.Open);
    a.Soubor->addAction(a.Save);
    a.Soubor->addSeparator();
    a.Soubor->addAction(a.ChangeDirLocal);
    a.Soubor->addAction(a.ChangeDirGlobal);
    a.Jazyk = a.Soubor->addMenu(QStringLiteral("Jazyk"));
    a.Jazyk->setObjectName(QStringLiteral("Menu_Jazyk"));
    a.Languages = new QActionGroup(&window);
    a.Languages->setExclusive(true);
    a.Soubor->addSeparator();
    a.Soubor->addAction(a.Exit);
}

void BuildCDStyles(QMainWindow& window, TMainActions& a) {
    a.CDStyles = new QActionGroup(&window);
    a.CDStyles->setExclusive(true);
    a.CDList =
        Command(window, "Action_CDList", QStringLiteral("Seznam"), QStyle::SP_FileDialogListView);
    a.CDReport = Command(window, "Action_CDReport", QStringLiteral("Detaily"),
                         QStyle::SP_FileDialogDetailedView);
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
                              QStyle::SP_FileDialogContentsView);
    a.DirSmallIcons = Command(window, "Action_DirSmallIcons", QStringLiteral("Malé ikony"),
                              QStyle::SP_FileDialogInfoView);
    a.DirList =
        Command(window, "Action_DirList", QStringLiteral("Seznam"), QStyle::SP_FileDialogListView);
    a.DirReport = Command(window, "Action_DirReport", QStringLiteral("Detaily"),
                          QStyle::SP_FileDialogDetailedView);
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
    a.Soubor = TopMenu(window, "Menu_Soubor", QStringLiteral("Soubor"));
    a.Funkce = TopMenu(window, "Menu_Funkce", QStringLiteral("Funkce"));
    a.Zobrazit = TopMenu(window, "Menu_Zobrazit", QStringLiteral("Zobrazit"));
    a.Moznosti = TopMenu(window, "Menu_Moznosti", QStringLiteral("Možnosti"));
    a.Napoveda = TopMenu(window, "Menu_Napoveda", QStringLiteral("Nápověda"));

    BuildSoubor(window, a);

    a.Grid =
        Command(window, "Action_Grid", QStringLiteral("Mřížka"), QStyle::SP_FileDialogDetailedView);
    a.Grid->setCheckable(true);
    a.Zobrazit->addAction(a.Grid);
    BuildCDStyles(window, a);
    BuildDirStyles(window, a);
    a.Zobrazit->addSeparator();
    a.Zobrazit->addActions(a.CDStyles->actions());
    a.Zobrazit->addSeparator();
    a.Zobrazit->addActions(a.DirStyles->actions());

    a.HomePage = Command(window, "Action_HomePage", QStringLiteral("Domovská WWW stránka"),
                         QStyle::SP_DirHomeIcon);
    a.Help =
        Command(window, "Action_Help", QStringLiteral("Nápověda"), QStyle::SP_DialogHelpButton);
    a.Help->setShortcut(QKeySequence::HelpContents);
    a.Napoveda->addAction(a.Help);
    a.Napoveda->addAction(a.HomePage);

    toolBar.addAction(a.Open);
    toolBar.addAction(a.Save);
    toolBar.addSeparator();
    toolBar.addAction(a.Grid);
    toolBar.addSeparator();
    toolBar.addActions(a.CDStyles->actions());
    toolBar.addSeparator();
    toolBar.addActions(a.DirStyles->actions());
    // The styles show as pictures only; their names are their hints.
    for (QAction* style : a.CDStyles->actions() + a.DirStyles->actions())
        if (auto* button = qobject_cast<QToolButton*>(toolBar.widgetForAction(style)))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar.addSeparator();
    toolBar.addAction(a.HomePage);
    toolBar.addAction(a.Help);

    EnableMenusWithEntries(a);
    return a;
}

void EnableMenusWithEntries(const TMainActions& a) {
    for (QMenu* menu : {a.Jazyk, a.Soubor, a.Funkce, a.Zobrazit, a.Moznosti, a.Napoveda})
        menu->menuAction()->setEnabled(!menu->isEmpty());
}

} // namespace orbisk
