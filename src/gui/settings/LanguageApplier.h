#pragma once
// Language files: every text a user sees (window captions, captions and
// hints of controls and commands, column titles, status bar texts, the items
// of radio groups and the hidden labels that carry message texts) written
// from the live windows and applied to them.
#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace orbisk {

// A window whose caption is composed at run time (a fixed part and a state,
// as the main window's caption and its working folder) offers the fixed part
// to language files through this.
class TCaptionOwner {
public:
    virtual ~TCaptionOwner() = default;
    virtual QString BaseCaption() const = 0;
    virtual void SetBaseCaption(const QString& caption) = 0;
};

// The lines of a language file for the windows, in their order.
std::vector<std::string> LanguageLines(const std::vector<QWidget*>& windows);

// Applies the lines of a language file; lines that match nothing change
// nothing. The texts core and the message boxes use are then taken from
// their hidden labels.
void ApplyLanguageLines(const std::vector<QWidget*>& windows,
                        const std::vector<std::string>& lines);

// Reads and applies path; a file that cannot be read changes nothing.
// Returns whether it could be read.
bool ImportLanguage(const std::vector<QWidget*>& windows, const std::string& path);
// Writes the current texts to path, replacing it; false when the save failed.
bool ExportLanguage(const std::vector<QWidget*>& windows, const std::string& path);

} // namespace orbisk
