#pragma once
// The scan driver: what the scan window's "Načti" button and `orbisk-cli scan`
// do once the source has been chosen and the medium checked. It cleans the
// header values, derives the archive's file name (asking what to do when that
// file exists), fills the header, walks the source, names the tracks of an
// audio CD, writes the archive and files it in the archive list of the target
// folder. Everything the user interface shows goes through the progress sink,
// the host and the collision question; nothing here knows a window.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/ArchiveList.h"
#include "core/catalog/Common.h"
#include "core/catalog/Host.h"
#include "core/platform/AudioCd.h"
#include "core/scan/DateFormat.h"
#include "core/scan/Metadata.h"
#include "core/scan/ProgressSink.h"
#include "core/scan/Walk.h"

namespace orbisk {

// The values the user types into the scan window: the name field, the four
// category boxes and the description field.
struct TScanFields {
    std::string Name, Medium, Typ, SubTyp, Owner, Description;
};

// The medium of an archive whose scan names none.
inline constexpr std::string_view kScanOtherMedium = "other";

// "\", 0x07 and TAB become blanks in every field; an empty medium becomes
// "other".
void CleanScanFields(TScanFields& fields);

// True when name holds nothing but blanks (or nothing at all).
bool IsBlankName(std::string_view name);

// The name given to an archive whose name field is blank: the volume label,
// padded with blanks to 12 characters when shorter, " - " and the serial
// ("GAMES" and "1A2B-0C3D" give "GAMES        - 1A2B-0C3D").
std::string GeneratedArchiveName(const TVolumeInfo& volume);

// Characters of a file base.
inline constexpr std::size_t kArchiveBaseLength = 56;

// The file base of an archive name: every character other than A-Z, a-z, 0-9
// and "_" becomes "_" (IsValidName), then the first 56 characters.
std::string ArchiveFileBase(std::string_view name);

// The base + "_" + i for the smallest i from 0 for which no file
// base_i.cd exists in folder.
std::string NumberedBase(const std::string& folder, const std::string& base);

// The answers of the name-collision question (Yes / No / Cancel).
enum class TCollisionAnswer {
    Ano,   // replace the file; the writer keeps the old one as .bak
    Ne,    // take the numbered name
    Storno // give up, nothing is scanned
};

struct TCollisionQuestion {
    std::string Title;        // "Cílový soubor [" + base + ".cd] již existuje ! "
    std::string Text;         // the offer of the numbered name and the choice line
    std::string Base;         // the base that collides (may be empty)
    std::string NumberedBase; // the base a "NE" gives
};

using TCollisionAsk = std::function<TCollisionAnswer(const TCollisionQuestion&)>;

// The scan window's hidden texts and switch captions that the result lines
// use; they follow the language file.
struct TScanTexts {
    std::string Loading = "Načítám...";
    std::string CollisionTitle = "Cílový soubor [";
    std::string CollisionTitleEnd = ".cd] již existuje ! ";
    std::string CollisionOffer = "Nový soubor může mít název [";
    std::string CollisionChoice =
        "Přepsat soubor -> [ANO], jiný název -> [NE], zpět-zrušit -> [Storno]";
    std::string Total = "Celkem ";
    std::string TotalEnd = " adresářů a souborů.";
    std::string Saving = "Ukládám Archiv na disk...";
    std::string Saved = "Archiv uložen na disk.";
    std::string NotSaved = "Archiv nebyl uložen na disk !!!";
    std::string Cancelled = "Načítání zrušeno.";
    std::string OnlyFoldersCaption = "Načítat pouze adresáře";
    std::string SelectedTypesCaption = "Načítat jen vybrané typy souborů";
    // Followed by the number of folders that could not be read; the line is
    // added only when there were any.
    std::string UnreadableFolders = "Adresářů, které nešlo přečíst: ";
};

// The question asked when folder already holds base.cd (or base is empty).
TCollisionQuestion MakeCollisionQuestion(const TScanTexts& texts, const std::string& base,
                                         const std::string& numberedBase);

// The switches of the audio CD group of the extension lists window.
struct TAudioCdOptions {
    bool UseCdPlayer = false; // "použít informace z CDPlayer.INI"
    TCdPlayerOptions Titles;
};

// What one scan is asked to do.
struct TScanRequest {
    std::string Source;     // the folder to scan
    TScanFields Fields;     // cleaned in place; a generated name is cleared again
    TVolumeInfo Volume;     // label and serial of the volume holding Source
    std::string ProgramDir; // where CDPLAYER.INI is looked up
    TScanTexts Texts;
    // The table of contents of an audio CD in the source drive: its tracks
    // are recorded instead of walking Source.
    std::optional<TCdToc> AudioToc;
};

// Records an audio CD into the emptied archive: the root folder with one
// TrackNN.cda file of 44 bytes per audio track, dated now.
void RecordAudioTracks(TArch& arch, const TCdToc& toc, const TDateFormatter& dates);

// What a scan works on and through. The option records are the windows' own:
// they are read at the moment of use, so a switch changed during the scan
// affects what is processed afterwards.
struct TScanContext {
    TArch& ScanArchive;    // filled by the walk; both arrays shrink to one slot at the end
    TWalkOptions& Options; // the driver switches Text off when DescriptionExtensions is empty
    const TAudioCdOptions& AudioCd;
    TArchiveList& ArchiveList; // the target folder's list: the archive is written to its Folder
    TValueLists* ValueLists;   // the category boxes' value lists, or nullptr
    ProgressSink& Progress;
    std::atomic<bool>& ScanRunning; // set for the walk; clearing it cancels the scan
    Host& UserHost;
    const TDateFormatter& Dates;
    TCollisionAsk AskCollision;
    // Called when the driver changes the fields (cleaned, name generated), so
    // the window can show them while the scan runs; may be empty.
    std::function<void(const TScanFields&)> ShowFields = {};
};

enum class TScanOutcome {
    Written,    // the archive was written and appended to the archive list
    NotWritten, // the writer failed; the host has said why
    Cancelled,  // the scan was cancelled; nothing was written
    Declined,   // "Storno" to the collision question, or no source; nothing was scanned
};

struct TScanResult {
    TScanOutcome Outcome = TScanOutcome::Declined;
    std::string FileName;  // base + ".cd", as filed in the archive list
    std::string Path;      // the file in the target folder
    std::int32_t Slot = 0; // the archive list row of a written archive
    std::int32_t ListedCount = 0;
    std::int32_t RecCount = 0;
    int UnreadableFolders = 0;
    std::vector<std::string> ResultLines; // the lines added after the walk
    bool Written() const { return Outcome == TScanOutcome::Written; }
};

// Runs a scan. Steps: clean the fields, switch selected-types off when only
// folders are scanned, generate a name for a blank name field, derive the file
// base and settle a collision, clear the progress box and add "Načítám...",
// extend the value lists, fill the header, walk, name audio CD tracks, report
// and write, append the archive's row (TreePath from its categories) and
// rewrite _cd_.lst. A cancelled scan writes nothing and leaves the list as it
// was. An empty Source does nothing at all (outcome Declined).
TScanResult ScanToArchive(TScanRequest& request, TScanContext& context);

} // namespace orbisk
