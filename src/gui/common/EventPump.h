#pragma once
// Lets pending interface events run during long work on the interface thread,
// at most once per interval: a loop over a hundred thousand lines must not pay
// a hundred thousand event-loop turns.
#include <chrono>
#include <functional>

namespace orbisk {

class EventPump {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Clock = std::function<TimePoint()>;
    using Runner = std::function<void()>;

    static constexpr std::chrono::milliseconds kDefaultInterval{15};

    // Without arguments: the steady clock and QCoreApplication::processEvents.
    EventPump();
    EventPump(std::chrono::milliseconds interval, Clock clock, Runner runner);

    // Runs the pending events when the interval has passed since they last
    // ran (or they never ran); returns whether it did.
    bool Pump();
    // Runs them now, whatever the time.
    void PumpNow();

private:
    std::chrono::milliseconds interval_;
    Clock clock_;
    Runner runner_;
    bool ran_ = false;
    TimePoint last_{};
};

} // namespace orbisk
