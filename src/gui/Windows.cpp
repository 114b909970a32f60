#include "gui/Windows.h"

#include <QWidget>

#include "gui/db/TForm_DB.h"
#include "gui/db/TForm_DB_HTML.h"
#include "gui/db/TForm_DB_Kat.h"
#include "gui/db/TForm_DBedit.h"
#include "gui/export/TForm_Konv_WC.h"
#include "gui/export/TForm_Tohtml.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/mainwin/TForm_Mask.h"
#include "gui/mainwin/TForm_Vlastnosti.h"
#include "gui/scan/TForm_EXE.h"
#include "gui/scan/TForm_ReadCD.h"
#include "gui/scan/TForm_TXT_Files.h"
#include "gui/search/TForm_Find3.h"
#include "gui/search/TForm_Find4.h"
#include "gui/settings/TForm_About.h"
#include "gui/settings/TForm_Setup.h"

namespace orbisk {

namespace {

// Creates one window as a child of the main window.
using WindowMaker = QWidget* (*)(TForm_Main& main);

template <typename T>
QWidget* Make(TForm_Main& main) {
    return new T(&main);
}

// The creation order after the main window, one line per window: Form_ReadCD,
// Form_Vlastnosti, Form_Find3, Form_Find4, Form_Tohtml, Form_About, Form_DB,
// Form_DB_Kat, Form_DBedit, Form_DB_HTML, Form_EXE, Form_Konv_WC, Form_Setup,
// Form_Mask, Form_TXT_Files. A window takes its place here, in that order,
// when it is built.
const std::vector<WindowMaker>& SecondaryWindows() {
    static const std::vector<WindowMaker> makers = {
        Make<TForm_ReadCD>, Make<TForm_Vlastnosti>, Make<TForm_Find3>,     Make<TForm_Find4>,
        Make<TForm_Tohtml>, Make<TForm_About>,      Make<TForm_DB>,        Make<TForm_DB_Kat>,
        Make<TForm_DBedit>, Make<TForm_DB_HTML>,    Make<TForm_EXE>,       Make<TForm_Konv_WC>,
        Make<TForm_Setup>,  Make<TForm_Mask>,       Make<TForm_TXT_Files>,
    };
    return makers;
}

} // namespace

TWindows::TWindows() : main_(std::make_unique<TForm_Main>()) {
    order_.push_back(main_.get());
    for (WindowMaker make : SecondaryWindows())
        order_.push_back(make(*main_));
    main_->SetWindows(order_);
}

TWindows::~TWindows() = default;

} // namespace orbisk
