#include "gui/common/EventPump.h"

#include <QCoreApplication>

namespace orbisk {

EventPump::EventPump()
    : EventPump(
          kDefaultInterval, [] { return std::chrono::steady_clock::now(); },
          [] { QCoreApplication::processEvents(); }) {}

EventPump::EventPump(std::chrono::milliseconds interval, Clock clock, Runner runner)
    : interval_(interval), clock_(std::move(clock)), runner_(std::move(runner)) {}

bool EventPump::Pump() {
    TimePoint now = clock_();
    if (ran_ && now - last_ < interval_) return false;
    runner_();
    ran_ = true;
    last_ = clock_();
    return true;
}

void EventPump::PumpNow() {
    runner_();
    ran_ = true;
    last_ = clock_();
}

} // namespace orbisk
