#pragma once
// The switches of the extension lists window that a scan reads. They keep
// their state for the program run and are not stored by that window.
namespace orbisk {

struct TExtensionSwitches {
    bool SelectedTypes = false;      // "Načítat jen vybrané typy souborů"
    bool OnlyFolders = false;        // "Načítat pouze adresáře"
    bool UseCdPlayer = false;        // "použít informace z CDPlayer.INI"
    bool ReplaceTrackName = false;   // "nahradit TrackXX.cda názvem"
    bool TitleToDescription = false; // "vložit název do Popisu"
    bool Id3v1 = false;              // "vlož obsah ID3v1 tagu do Popisu"
    bool Id3v2 = false;              // "vlož obsah ID3v2 tagu do Popisu"
    bool ReplaceName = false;        // "nahradit xxxx.MP3 názvem  (nedoporučuje se)"
    bool NameToNote = false;         // "vlož Název do Poznámky"
};

} // namespace orbisk
