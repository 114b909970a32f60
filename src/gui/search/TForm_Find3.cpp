#include "gui/search/TForm_Find3.h"

#include <QAction>
#include <QLabel>

#include "gui/common/IconSet.h"
#include "gui/common/Text.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/search/ResultModels.h"

namespace orbisk {

TForm_Find3::TForm_Find3(TForm_Main* main)
    : TSearchWindow(main, "Form_Find3", QStringLiteral("Hledání"),
                    QStringLiteral("Podbarveně nebo tučně"), QStringLiteral("Hledání v  ")),
      Action_Find(
          new QAction(CommandIcon(CommandPicture::Find), QStringLiteral("Hledat..."), main)) {
    Action_Find->setObjectName(QStringLiteral("Action_Find"));
    Action_Find->setToolTip(QStringLiteral("Hledat - Hledat v otevřeném archivu"));
    Action_Find->setStatusTip(Action_Find->toolTip());
    Action_Find->setShortcut(QKeySequence::Find);
    connect(Action_Find, &QAction::triggered, this, &TForm_Find3::Execute);
    main->AddFunctionCommand(Action_Find);
    // Results point into the open archive; another archive makes them stale.
    connect(main, &TForm_Main::ArchiveRead, this, &TForm_Find3::ClearResults);
}

TForm_Find3::~TForm_Find3() {
    StopAndWait();
}

void TForm_Find3::Activated() {
    const TForm_Main& main = Main();
    setWindowTitle(LabelT1->text() + DecodeText(main.CurrentArchive.Head.Name) +
                   QStringLiteral(":") + DecodeText(main.CurrentPath));
}

TVlakno::Job TForm_Find3::MakeJob(const TSearchCriteria& criteria) {
    // The window is modal and its criteria are fixed: the open archive and
    // the folder shown stay as they are until the search ends.
    const TArch* arch = &Main().CurrentArchive;
    return [arch, path = Main().CurrentPath, criteria](TSearchSink& sink, Host&,
                                                       const std::atomic<bool>& stop) {
        return RunArchiveSearch(*arch, path, criteria, sink, stop);
    };
}

void TForm_Find3::JumpTo(const TResultPlace& place, int, bool) {
    ShowEntry(place.Path, place.Name);
    close();
}

} // namespace orbisk
