#pragma once
// Stored strings are bytes. A string that is valid UTF-8 is shown as UTF-8;
// any other string comes from a catalogue written on Windows and is shown as
// Windows-1250. Typed text goes into an archive in the code page its strings
// already use, so one file does not mix code pages without need.
#include <QString>
#include <string>
#include <string_view>

#include "core/catalog/Archive.h"

namespace orbisk {

enum class TCodePage { Utf8, Cp1250 };

// UTF-8 when bytes are valid UTF-8, Windows-1250 otherwise.
QString DecodeText(std::string_view bytes);

// Typed text as bytes for an archive whose strings use page. For Windows-1250
// the text is stored as Windows-1250 only when every character fits and the
// bytes read back as the same text (a Windows-1250 string that happens to be
// valid UTF-8 would be shown as UTF-8 and change); otherwise as UTF-8.
std::string EncodeText(const QString& text, TCodePage page);

// The code page of one stored string: UTF-8 when it is valid UTF-8.
TCodePage CodePageOf(std::string_view bytes);

// Windows-1250 when any string of the archive (header or entry) is not valid
// UTF-8, UTF-8 otherwise.
TCodePage ArchiveCodePage(const TArch& arch);

// A description (every line followed by 0x07; a last line without it counts
// too) as the text of a multi-line field, lines joined by "\n".
QString DescriptionToText(std::string_view description);

// Typed text as a stored note: one line, in the archive's code page. The
// bytes that would split or end the archive line (TAB, CR, LF, 0x07, 0x1A)
// become blanks, so the note reads back as it was stored.
std::string TextToNote(const QString& text, TCodePage page);

// The text of a multi-line field as a description: every line followed by
// 0x07; an empty field gives an empty description. TAB, CR, 0x07 and 0x1A
// inside a line become blanks.
std::string TextToDescription(const QString& text, TCodePage page);

} // namespace orbisk
