#pragma once
// A dialog whose command runs inside the dialog: the run pumps events while
// it fills the window's lists, gauges and log, so the window stays open to
// the user. Closing it during a run stops the run and closes the window once
// the run has returned; Escape stops the run instead of closing.
#include <QDialog>
#include <atomic>

class QCloseEvent;

namespace orbisk {

class TRunningDialog : public QDialog {
public:
    using QDialog::QDialog;

    // True while a run goes; clearing it asks the run to stop.
    bool Running() const { return running_.load(); }

protected:
    // Called when a run has returned: ends the run and finishes a close
    // that was asked for meanwhile.
    void RunEnded();
    // What a plain close also does to the window (not during a run).
    virtual void Dismissed() {}

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

    std::atomic<bool> running_{false};

private:
    bool closePending_ = false;
};

} // namespace orbisk
