#pragma once
#include <string_view>

#include "core/catalog/TextFile.h"

namespace orbisk {

// What core needs of a user interface: message boxes and a chance to keep the
// interface alive during long work. The GUI shows message boxes and processes
// pending events, tests record, the command-line tool prints to stderr.
struct Host {
    virtual ~Host() = default;
    virtual void Inform(std::string_view text) = 0; // information box, OK button
    virtual void Warn(std::string_view text) = 0;   // warning box, OK button
    virtual void Pump() = 0;                        // let pending interface events run
    // A file could not be read or written. Windows show the user's text
    // alone (an information box for a missing file, a warning otherwise);
    // the command-line tool adds the file and the system's reason.
    virtual void FileFailed(const TFileStatus& status) {
        if (status.Missing())
            Inform(UserText(status));
        else
            Warn(UserText(status));
    }
};

// A host that shows nothing and has no interface to keep alive: benchmarks,
// fuzzing, and callers that report failures by result alone.
struct NullHost : Host {
    void Inform(std::string_view) override {}
    void Warn(std::string_view) override {}
    void Pump() override {}
};

// Calls Host::Pump every so many steps of a long loop, so a loop over a
// hundred thousand lines does not pay a virtual call and an event-loop turn
// for each one. The GUI host throttles again by time.
class PumpTicker {
public:
    explicit PumpTicker(Host& host, unsigned every = 1024) : host_(host), every_(every) {}
    void Tick() {
        if (++count_ >= every_) {
            count_ = 0;
            host_.Pump();
        }
    }

private:
    Host& host_;
    unsigned every_;
    unsigned count_ = 0;
};

} // namespace orbisk
