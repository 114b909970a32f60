#pragma once
// A progress sink that keeps the box's lines and the history of every change.
#include <functional>
#include <string>
#include <vector>

#include "core/scan/ProgressSink.h"

namespace orbisk::test {

struct RecordingProgress : ProgressSink {
    std::vector<std::string> lines; // what the box holds now
    std::vector<std::string> log;   // every change: "+" line, "-" (delete last), "clear"
    std::function<void(std::string_view)> onAdd;

    void AddLine(std::string_view line) override {
        lines.emplace_back(line);
        log.push_back("+" + std::string(line));
        if (onAdd) onAdd(line);
    }
    void DeleteLastLine() override {
        if (!lines.empty()) lines.pop_back();
        log.emplace_back("-");
    }
    void Clear() override {
        lines.clear();
        log.emplace_back("clear");
    }
    std::size_t LineCount() const override { return lines.size(); }
};

} // namespace orbisk::test
