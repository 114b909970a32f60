#pragma once
// The options of the content browser that the setup window owns; the browser
// reads them whenever it lists a folder.
namespace orbisk {

struct TContentOptions {
    bool FolderSizes = false; // "zobrazovat velikost adresářů místo <DIR>"
    bool BoldNoticed = false; // "Zvýraznit tučně soubory s poznámkou nebo popisem"
    bool FolderTree = false;  // "Zobrazuj stromovou strukturu adresářů  (velmi pomalé)"
};

} // namespace orbisk
