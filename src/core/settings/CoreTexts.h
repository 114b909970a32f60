#pragma once
// The texts core itself puts before the user (the file layer's messages, the
// archive list's). Each has a built-in Czech text and the name of the hidden
// label of the main window that carries it, so a language file translates it
// like any other caption: after an import the window copies the labels'
// captions into this table, which core reads whenever it words a message.
#include <cstddef>
#include <string>
#include <string_view>

namespace orbisk {

enum class TCoreText : std::size_t {
    FileMissing,  // "Soubor není k dispozici."
    CannotRead,   // "Nemohu číst zvolený soubor, asi jej používá jiný program."
    CannotCreate, // "Nelze vytvořit soubor."
    CannotDelete, // "Nelze smazat soubor " (the file name follows)
    KilobytesIn,  // " kB v ", between the kilobytes and the file count of folder totals
    Count
};

struct TCoreTextInfo {
    const char* Label;        // object name of the hidden label
    std::string_view Builtin; // the built-in text
};

const TCoreTextInfo& CoreTextInfo(TCoreText id);
// The current text: the built-in one until a language sets another.
std::string_view CoreText(TCoreText id);
void SetCoreText(TCoreText id, std::string_view text);
// Every text back to its built-in form.
void ResetCoreTexts();

} // namespace orbisk
