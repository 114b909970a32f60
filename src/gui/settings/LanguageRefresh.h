#pragma once
// A maintenance step for translators: every language file found is brought
// up to the program's present texts. Each file (except the English and the
// Czech one) is read over the English texts and written again, so it gains
// a line for every text the program has, with the English text wherever it
// had none, and loses the lines of texts that no longer exist.
#include <string>
#include <vector>

class QWidget;

namespace orbisk {

// Refreshes the "*.lng" files of the language folders (the user's first)
// when an ENGLISH.LNG is among them. A file is written where it was found
// when it can be, else into the user's folder; a file that cannot be read is
// left alone. Afterwards the windows show the texts they showed before, with
// the current language file read again. Returns the files written.
std::vector<std::string> RefreshLanguageFiles(const std::vector<QWidget*>& windows);

} // namespace orbisk
