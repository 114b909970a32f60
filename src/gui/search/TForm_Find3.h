#pragma once
// The window "Hledání": finds entries of the open archive, in the folder the
// content browser shows and every folder below it.
#include <QString>
#include <string>

#include "gui/search/SearchWindow.h"

class QAction;

namespace orbisk {

class TForm_Find3 : public TSearchWindow {
    Q_OBJECT
public:
    explicit TForm_Find3(TForm_Main* main);
    ~TForm_Find3() override;

    // "Hledat..." in the main window's "Funkce" menu and tool bar.
    QAction* Action_Find;

protected:
    TVlakno::Job MakeJob(const TSearchCriteria& criteria) override;
    void Activated() override;
    void JumpTo(const TResultPlace& place, int row, bool textView) override;
};

} // namespace orbisk
