#include "gui/settings/SettingsApplier.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHash>
#include <QLayout>
#include <QPalette>
#include <QScreen>
#include <QSet>
#include <QSplitter>
#include <limits>

#include "core/settings/SettingsLine.h"
#include "gui/common/ListView.h"
#include "gui/settings/Components.h"

namespace orbisk {

namespace {

std::string Bytes(const QString& text) {
    return text.toUtf8().toStdString();
}

std::string Number(int value) {
    return std::to_string(value);
}

// The size of a splitter's pane along the splitter; a hidden pane keeps the
// size it had when shown.
int PaneSize(QWidget& pane, Qt::Orientation along) {
    auto* splitter = static_cast<QSplitter*>(pane.parentWidget());
    const int own = along == Qt::Horizontal ? pane.width() : pane.height();
    if (pane.isHidden() || splitter->orientation() != along) return own;
    return splitter->sizes().value(splitter->indexOf(&pane), own);
}

void WriteComponent(const TComponent& c, bool setup, std::vector<std::string>& out) {
    const std::string name = Bytes(c.Name);
    switch (c.Kind) {
    case TComponentKind::Panel: {
        auto& pane = static_cast<QWidget&>(*c.Object);
        out.push_back(PropertyLine(name, "Width", Number(PaneSize(pane, Qt::Horizontal))));
        out.push_back(PropertyLine(name, "Height", Number(PaneSize(pane, Qt::Vertical))));
        break;
    }
    case TComponentKind::CheckBox:
        out.push_back(PropertyLine(name, "Checked",
                                   static_cast<QCheckBox*>(c.Object)->isChecked() ? "1" : "0"));
        break;
    case TComponentKind::ListView: {
        auto* list = static_cast<ListView*>(c.Object);
        std::string widths;
        for (int width : list->ColumnWidths())
            widths.append(Number(width)).push_back(';');
        out.push_back(PropertyLine(name, "Columns", widths));
        out.push_back(PropertyLine(name, "Gridlines", list->GridLines() ? "1" : "0"));
        out.push_back(PropertyLine(name, "ViewStyle", Number(static_cast<int>(list->GetStyle()))));
        break;
    }
    case TComponentKind::Edit:
        if (setup)
            out.push_back(
                PropertyLine(name, "Color", Number(ColourValue(*static_cast<QWidget*>(c.Object)))));
        break;
    default:
        break;
    }
}

// Applies the lines of a settings file to the live windows.
class SettingsSink : public TWindowLineSink {
public:
    using TWindowLineSink::TWindowLineSink;

    bool Property(const TSettingsLine& line) override {
        if (!Current()) return true;
        const QString name = QString::fromStdString(line.Component);
        if (const TComponent* c = Component(name)) return ApplyComponent(*c, line);
        if (QWidget* window = Window(name)) return ApplyWindow(*window, line);
        return true;
    }

    // Splitter panes take their sizes together, once every line is read, so
    // one pane's size does not rescale the sizes given before it.
    void Finish() {
        // A window on show lays out its new size now, so its splitters take
        // their panes' sizes within it; a hidden one keeps its size as given
        // until it is shown.
        for (QWidget* window : moved_)
            if (window->isVisible() && window->layout()) window->layout()->activate();
        for (auto it = panes_.begin(); it != panes_.end(); ++it)
            it.key()->setSizes(it.value());
        for (QWidget* window : moved_)
            KeepOnScreen(*window);
    }

private:
    bool ApplyComponent(const TComponent& c, const TSettingsLine& line) {
        const std::string& p = line.Property;
        switch (c.Kind) {
        case TComponentKind::Panel:
            if (p == "Width" || p == "Height") {
                const std::optional<int> size = ParseDecimal(line.Value);
                if (!size) return false;
                SetPaneSize(*static_cast<QWidget*>(c.Object),
                            p == "Width" ? Qt::Horizontal : Qt::Vertical, *size);
            }
            return true;
        case TComponentKind::CheckBox:
            if (p == "Checked") static_cast<QCheckBox*>(c.Object)->setChecked(line.Value == "1");
            return true;
        case TComponentKind::ListView:
            return ApplyList(*static_cast<ListView*>(c.Object), line);
        case TComponentKind::Edit:
            if (p == "Color" && Current()->objectName() == QLatin1String(kSetupWindow)) {
                const std::optional<int> colour = ParseDecimal(line.Value);
                if (!colour) return false;
                SetColourValue(*static_cast<QWidget*>(c.Object), *colour);
            }
            return true;
        default:
            return true;
        }
    }

    static bool ApplyList(ListView& list, const TSettingsLine& line) {
        if (line.Property == "Gridlines") {
            list.SetGridLines(line.Value == "1");
        } else if (line.Property == "Columns") {
            std::vector<int> widths = list.ColumnWidths();
            const std::vector<std::string> pieces = SplitListValue(line.Value);
            for (std::size_t i = 0; i < pieces.size() && i < widths.size(); ++i) {
                const std::optional<int> width = ParseDecimal(pieces[i]);
                if (!width) return false;
                widths[i] = *width;
            }
            list.SetColumnWidths(widths);
        } else if (line.Property == "ViewStyle" && !line.Value.empty()) {
            const char style = line.Value.front();
            if (style >= '0' && style <= '3')
                list.SetStyle(static_cast<ListView::Style>(style - '0'));
        }
        return true;
    }

    void SetPaneSize(QWidget& pane, Qt::Orientation along, int size) {
        auto* splitter = static_cast<QSplitter*>(pane.parentWidget());
        if (splitter->orientation() != along || pane.isHidden()) return;
        auto it = panes_.find(splitter);
        if (it == panes_.end()) it = panes_.insert(splitter, splitter->sizes());
        const int index = splitter->indexOf(&pane);
        if (index >= 0 && index < it.value().size()) it.value()[index] = size;
    }

    bool ApplyWindow(QWidget& window, const TSettingsLine& line) {
        const std::string& p = line.Property;
        if (p != "Left" && p != "Top" && p != "Width" && p != "Height") return true;
        const std::optional<int> value = ParseDecimal(line.Value);
        if (!value) return false;
        if (p == "Left") window.move(*value, window.y());
        if (p == "Top") window.move(window.x(), *value);
        if (p == "Width") window.resize(*value, window.height());
        if (p == "Height") window.resize(window.width(), *value);
        if (!moved_.contains(&window)) moved_.push_back(&window);
        return true;
    }

    QHash<QSplitter*, QList<int>> panes_;
    QList<QWidget*> moved_;
};

} // namespace

std::vector<std::string> SettingsBlocks(const std::vector<QWidget*>& windows) {
    std::vector<std::string> out;
    for (QWidget* window : windows) {
        const std::string name = Bytes(window->objectName());
        out.push_back(SectionLine(name));
        out.push_back(PropertyLine(name, "Left", Number(window->x())));
        out.push_back(PropertyLine(name, "Top", Number(window->y())));
        out.push_back(PropertyLine(name, "Width", Number(window->width())));
        out.push_back(PropertyLine(name, "Height", Number(window->height())));
        const bool setup = window->objectName() == QLatin1String(kSetupWindow);
        for (const TComponent& c : ComponentsOf(*window, windows))
            WriteComponent(c, setup, out);
    }
    return out;
}

void ApplySettingsBlocks(const std::vector<QWidget*>& windows,
                         const std::vector<std::string>& lines, std::size_t first) {
    SettingsSink sink(windows);
    ApplyLines(lines, first, sink);
    sink.Finish();
}

void KeepOnScreen(QWidget& window) {
    const QRect frame(window.pos(), window.frameGeometry().size());
    QRect nearest;
    long best = std::numeric_limits<long>::max();
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        if (area.intersects(frame)) return;
        const QPoint d = area.center() - frame.center();
        const long distance = static_cast<long>(d.x()) * d.x() + static_cast<long>(d.y()) * d.y();
        if (distance < best) {
            best = distance;
            nearest = area;
        }
    }
    if (nearest.isNull()) return;
    // Left and top edges inside the screen; a window larger than the screen
    // keeps its size and starts at the screen's corner.
    const int x =
        std::max(nearest.left(), std::min(frame.left(), nearest.right() - frame.width() + 1));
    const int y =
        std::max(nearest.top(), std::min(frame.top(), nearest.bottom() - frame.height() + 1));
    window.move(x, y);
}

int ColourValue(const QWidget& edit) {
    const QColor colour = edit.palette().color(QPalette::Base);
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

void SetColourValue(QWidget& edit, int value) {
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base,
                     QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF));
    edit.setPalette(palette);
}

} // namespace orbisk
