#pragma once
// The interface's side of core's Host: messages through Prompt, pending events
// through a time-throttled EventPump.
#include "core/catalog/Host.h"
#include "gui/common/EventPump.h"

namespace orbisk {

class GuiHost : public Host {
public:
    GuiHost() = default;
    explicit GuiHost(EventPump pump) : pump_(std::move(pump)) {}

    void Inform(std::string_view text) override;
    void Warn(std::string_view text) override;
    void Pump() override { pump_.Pump(); }

private:
    EventPump pump_;
};

} // namespace orbisk
