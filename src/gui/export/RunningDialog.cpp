#include "gui/export/RunningDialog.h"

#include <QCloseEvent>

namespace orbisk {

void TRunningDialog::RunEnded() {
    running_ = false;
    if (closePending_) {
        closePending_ = false;
        close();
    }
}

void TRunningDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        running_ = false;
        closePending_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TRunningDialog::reject() {
    if (running_) {
        running_ = false;
        return;
    }
    Dismissed();
    QDialog::reject();
}

} // namespace orbisk
