#include "gui/settings/LanguageApplier.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>

#include "core/settings/SettingsFiles.h"
#include "core/settings/SettingsLine.h"
#include "gui/common/ListModel.h"
#include "gui/common/ListView.h"
#include "gui/settings/Components.h"
#include "gui/settings/HiddenTexts.h"

namespace orbisk {

namespace {

std::string Bytes(const QString& text) {
    return text.toUtf8().toStdString();
}

QString Text(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString WindowCaption(QWidget& window) {
    if (auto* owner = dynamic_cast<TCaptionOwner*>(&window)) return owner->BaseCaption();
    return window.windowTitle();
}

void SetWindowCaption(QWidget& window, const QString& caption) {
    if (auto* owner = dynamic_cast<TCaptionOwner*>(&window))
        owner->SetBaseCaption(caption);
    else
        window.setWindowTitle(caption);
}

// The status bar's panels: its labels in order.
QList<QLabel*> Panels(QStatusBar& bar) {
    return bar.findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
}

QList<QRadioButton*> Items(QGroupBox& group) {
    return group.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}

QTabWidget* TabsOf(QWidget& page) {
    return static_cast<QTabWidget*>(page.parentWidget()->parentWidget());
}

// The caption and hint of a command, a menu or a button.
QString CaptionOf(QObject& o) {
    if (auto* action = qobject_cast<QAction*>(&o)) return action->text();
    if (auto* menu = qobject_cast<QMenu*>(&o)) return menu->title();
    if (auto* button = qobject_cast<QAbstractButton*>(&o)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(&o)) return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(&o)) return group->title();
    auto& page = static_cast<QWidget&>(o);
    return TabsOf(page)->tabText(TabsOf(page)->indexOf(&page));
}

void SetCaption(QObject& o, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(&o)) {
        action->setText(text);
        // The tool bar shows the caption without "&" and "..." by itself.
        action->setIconText(QString());
    } else if (auto* menu = qobject_cast<QMenu*>(&o)) {
        menu->setTitle(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(&o)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(&o)) {
        label->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(&o)) {
        group->setTitle(text);
    } else {
        auto& page = static_cast<QWidget&>(o);
        TabsOf(page)->setTabText(TabsOf(page)->indexOf(&page), text);
    }
}

QString HintOf(QObject& o) {
    if (auto* action = qobject_cast<QAction*>(&o)) return action->toolTip();
    if (auto* widget = qobject_cast<QWidget*>(&o)) return widget->toolTip();
    return {};
}

void SetHint(QObject& o, const QString& hint) {
    if (auto* action = qobject_cast<QAction*>(&o)) {
        action->setToolTip(hint);
        if (!action->statusTip().isEmpty()) action->setStatusTip(hint);
    } else if (auto* widget = qobject_cast<QWidget*>(&o)) {
        widget->setToolTip(hint);
    }
}

std::vector<std::string> ColumnTitles(ListView& list) {
    std::vector<std::string> titles;
    if (ListModel* model = list.Model())
        for (int c = 0; c < model->columnCount(); ++c)
            titles.push_back(
                Bytes(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()));
    return titles;
}

void WriteComponent(const TComponent& c, std::vector<std::string>& out) {
    const std::string name = Bytes(c.Name);
    auto line = [&](const char* property, const QString& value) {
        out.push_back(PropertyLine(name, property, Bytes(value)));
    };
    switch (c.Kind) {
    case TComponentKind::Label:
    case TComponentKind::Button:
    case TComponentKind::GroupBox:
    case TComponentKind::TabSheet:
        line("Caption", CaptionOf(*c.Object));
        break;
    case TComponentKind::MenuItem:
    case TComponentKind::ToolButton:
    case TComponentKind::CheckBox:
        line("Caption", CaptionOf(*c.Object));
        line("Hint", HintOf(*c.Object));
        break;
    case TComponentKind::ListView:
        out.push_back(PropertyLine(name, "Columns",
                                   JoinListValue(ColumnTitles(*static_cast<ListView*>(c.Object)))));
        break;
    case TComponentKind::StatusBar: {
        std::vector<std::string> texts;
        for (QLabel* panel : Panels(*static_cast<QStatusBar*>(c.Object)))
            texts.push_back(Bytes(panel->text()));
        out.push_back(PropertyLine(name, "Panels", JoinListValue(texts)));
        break;
    }
    case TComponentKind::RadioGroup: {
        auto* group = static_cast<QGroupBox*>(c.Object);
        line("Caption", group->title());
        std::vector<std::string> items;
        for (QRadioButton* item : Items(*group))
            items.push_back(Bytes(item->text()));
        out.push_back(PropertyLine(name, "Items", JoinListValue(items)));
        break;
    }
    default:
        break;
    }
}

void ApplyComponent(const TComponent& c, const TSettingsLine& line) {
    const QString value = Text(line.Value);
    const bool caption = line.Property == "Caption", hint = line.Property == "Hint";
    switch (c.Kind) {
    case TComponentKind::Label:
    case TComponentKind::Button:
        SetCaption(*c.Object, value);
        break;
    case TComponentKind::MenuItem:
    case TComponentKind::ToolButton:
    case TComponentKind::CheckBox:
    case TComponentKind::GroupBox:
    case TComponentKind::TabSheet:
        if (caption) SetCaption(*c.Object, value);
        if (hint && c.Kind != TComponentKind::TabSheet) SetHint(*c.Object, value);
        break;
    case TComponentKind::ListView:
        if (ListModel* model = static_cast<ListView*>(c.Object)->Model()) {
            const std::vector<std::string> pieces = SplitListValue(line.Value);
            for (int col = 0; col < model->columnCount() && col < static_cast<int>(pieces.size());
                 ++col)
                model->setHeaderData(col, Qt::Horizontal,
                                     Text(pieces[static_cast<std::size_t>(col)]));
        }
        break;
    case TComponentKind::StatusBar: {
        const QList<QLabel*> panels = Panels(*static_cast<QStatusBar*>(c.Object));
        const std::vector<std::string> pieces = SplitListValue(line.Value);
        for (qsizetype i = 0; i < panels.size() && i < static_cast<qsizetype>(pieces.size()); ++i)
            panels[i]->setText(Text(pieces[static_cast<std::size_t>(i)]));
        break;
    }
    case TComponentKind::RadioGroup: {
        auto* group = static_cast<QGroupBox*>(c.Object);
        if (caption) group->setTitle(value);
        if (line.Property == "Items") {
            const QList<QRadioButton*> items = Items(*group);
            const std::vector<std::string> pieces = SplitListValue(line.Value);
            for (qsizetype i = 0; i < items.size() && i < static_cast<qsizetype>(pieces.size());
                 ++i)
                items[i]->setText(Text(pieces[static_cast<std::size_t>(i)]));
        }
        break;
    }
    default:
        break;
    }
}

class LanguageSink : public TWindowLineSink {
public:
    using TWindowLineSink::TWindowLineSink;

    bool Property(const TSettingsLine& line) override {
        if (!Current()) return true;
        const QString name = Text(line.Component);
        if (const TComponent* c = Component(name))
            ApplyComponent(*c, line);
        else if (QWidget* window = Window(name))
            SetWindowCaption(*window, Text(line.Value));
        return true;
    }
};

} // namespace

std::vector<std::string> LanguageLines(const std::vector<QWidget*>& windows) {
    std::vector<std::string> out;
    for (QWidget* window : windows) {
        const std::string name = Bytes(window->objectName());
        out.push_back(SectionLine(name));
        out.push_back(PropertyLine(name, "Caption", Bytes(WindowCaption(*window))));
        for (const TComponent& c : ComponentsOf(*window, windows))
            WriteComponent(c, out);
    }
    return out;
}

void ApplyLanguageLines(const std::vector<QWidget*>& windows,
                        const std::vector<std::string>& lines) {
    LanguageSink sink(windows);
    ApplyLines(lines, 0, sink);
    if (!windows.empty()) TakeHiddenTexts(*windows.front());
}

bool ImportLanguage(const std::vector<QWidget*>& windows, const std::string& path) {
    std::vector<std::string> lines;
    if (!ReadSettingsLines(path, lines)) return false;
    ApplyLanguageLines(windows, lines);
    return true;
}

bool ExportLanguage(const std::vector<QWidget*>& windows, const std::string& path) {
    return SaveSettingsLines(path, LanguageLines(windows)).ok;
}

} // namespace orbisk
