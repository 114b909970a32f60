#pragma once
// The windows of the program. Each is created once, in one fixed order, and
// lives for the whole run; the settings and language files list the windows
// in this same order.
#include <memory>
#include <vector>

class QWidget;

namespace orbisk {

class TForm_Main;

// The window of type T among windows, or nullptr.
template <typename T>
T* WindowOfType(const std::vector<QWidget*>& windows) {
    for (QWidget* window : windows)
        if (auto* found = dynamic_cast<T*>(window)) return found;
    return nullptr;
}

class TWindows {
public:
    // Creates every window in the fixed order. The main window comes first and
    // owns the others (they are its children, shown modally when needed).
    TWindows();
    ~TWindows();
    TWindows(const TWindows&) = delete;
    TWindows& operator=(const TWindows&) = delete;

    TForm_Main& Main() const { return *main_; }

    // Every window in creation order.
    const std::vector<QWidget*>& InCreationOrder() const { return order_; }

    // The window of type T, or nullptr.
    template <typename T>
    T* Find() const {
        return WindowOfType<T>(order_);
    }

private:
    std::unique_ptr<TForm_Main> main_;
    std::vector<QWidget*> order_;
};

} // namespace orbisk
