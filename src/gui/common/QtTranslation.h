#pragma once
// Qt's own texts (the file, folder and colour dialogs, the context menus of
// edit fields) in the program's language: Qt's translation file
// qtbase_<language>.qm from Qt's translations folder (Debian package
// qt6-translations-l10n), installed into the application.
#include <QString>

class QTranslator;

namespace orbisk {

// The language of the built-in texts (and of default.lng).
inline constexpr const char* kDefaultLanguage = "cs";

// The file of Qt's translation for language in folder, or an empty text when
// there is none; "cs_CZ" falls back to "cs".
QString QtTranslationFile(const QString& language, const QString& folder);

// Replaces the translation installed before with the one for language
// (folder empty: Qt's translations folder). A missing or unreadable file
// leaves Qt's English texts and is not an error; returns the translator
// installed, or nullptr.
QTranslator* InstallQtTranslation(const QString& language, const QString& folder = {});

} // namespace orbisk
