#include "core/scan/ScanDriver.h"

#include <ctime>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/CodePage.h"
#include "core/catalog/ProgramValues.h"

namespace orbisk {

namespace {

constexpr std::size_t kLabelWidth = 12;

// The number of characters of text: whole UTF-8 sequences in valid UTF-8,
// bytes otherwise.
std::size_t CharCount(std::string_view text) {
    CharStepper step(text);
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += step.LengthAt(i))
        ++count;
    return count;
}

// The first n characters of text (whole UTF-8 sequences in valid UTF-8).
std::string FirstChars(std::string_view text, std::size_t n) {
    CharStepper step(text);
    std::size_t i = 0;
    for (std::size_t k = 0; k < n && i < text.size(); ++k)
        i += step.LengthAt(i);
    return std::string(text.substr(0, i));
}

void Show(TScanContext& context, const TScanFields& fields) {
    if (context.ShowFields) context.ShowFields(fields);
}

// Settles the file base against the files of folder. Returns false when the
// user gives up.
bool SettleCollision(const std::string& folder, std::string& base, const TScanTexts& texts,
                     const TCollisionAsk& ask) {
    if (!base.empty() && !PathExists(JoinPath(folder, base + ".cd"))) return true;
    const std::string numbered = NumberedBase(folder, base);
    const TCollisionAnswer answer =
        ask ? ask(MakeCollisionQuestion(texts, base, numbered)) : TCollisionAnswer::Storno;
    switch (answer) {
    case TCollisionAnswer::Ano:
        // An empty base would name the file ".cd": it takes the numbered
        // name instead.
        if (base.empty()) base = numbered;
        return true;
    case TCollisionAnswer::Ne:
        base = numbered;
        return true;
    case TCollisionAnswer::Storno:
        break;
    }
    return false;
}

void FillHeader(THead& head, const TScanRequest& request, const std::string& fileName) {
    const TScanFields& f = request.Fields;
    head.FileName = fileName;
    AssignHeaderValues(head, f);
    head.SN = request.Volume.Serial;
    head.Volume = request.Volume.Label;
}

void AddValues(TValueLists* lists, const TScanFields& f) {
    if (lists) lists->Add(f);
}

void AddResultLine(TScanContext& context, TScanResult& result, std::string line) {
    context.Progress.AddLine(line);
    result.ResultLines.push_back(std::move(line));
}

// Files the written archive in the list: its header with the bare file name,
// Listed 1 and the tree path of its categories; then _cd_.lst is rewritten.
void AppendToList(TScanContext& context, TScanResult& result) {
    THead row = context.ScanArchive.Head;
    row.FileName = result.FileName;
    row.Listed = 1;
    row.TreePath = TreePathOf(row.Medium, row.Typ, row.SubTyp);
    result.Slot = context.ArchiveList.Append(std::move(row));
    result.ListedCount = RewriteArchiveList(context.ArchiveList).ListedCount;
}

// Reports the walk, writes the archive and files it.
void Finish(const TScanRequest& request, TScanContext& context, TScanResult& result) {
    const TScanTexts& texts = request.Texts;
    TArch& arch = context.ScanArchive;
    AddResultLine(context, result, texts.Total + std::to_string(arch.RecCount) + texts.TotalEnd);
    if (context.Options.OnlyFolders)
        AddResultLine(context, result, "(" + texts.OnlyFoldersCaption + ")");
    if (context.Options.SelectedTypes)
        AddResultLine(context, result, "(" + texts.SelectedTypesCaption + ")");
    if (result.UnreadableFolders > 0)
        AddResultLine(context, result,
                      texts.UnreadableFolders + std::to_string(result.UnreadableFolders));
    AddResultLine(context, result, "");
    AddResultLine(context, result, texts.Saving);
    for (std::int32_t i = 1; i <= arch.RecCount; ++i)
        arch.Recs[static_cast<std::size_t>(i)].Present = 1;

    // The header names the bare file; the writer needs its place.
    arch.Head.FileName = result.Path;
    const bool saved = WriteArchive(arch, context.UserHost).ok;
    arch.Head.FileName = result.FileName;
    if (!saved) {
        result.Outcome = TScanOutcome::NotWritten;
        AddResultLine(context, result, texts.NotSaved);
        return;
    }
    result.Outcome = TScanOutcome::Written;
    AddResultLine(context, result, texts.Saved + "   \"" + arch.Head.Name + "\"");
    AppendToList(context, result);
}

// Records the source into the emptied scan archive (the tracks of an audio
// CD, or the walk of the source folder), then names the tracks of an audio
// CD.
void WalkSource(const TScanRequest& request, TScanContext& context, TScanResult& result) {
    TArch& arch = context.ScanArchive;
    arch.Clear();
    if (request.AudioToc) {
        RecordAudioTracks(arch, *request.AudioToc, context.Dates);
    } else {
        TWalker walker(arch, SourceRootFor(request.Source), context.Options, context.Progress,
                       context.ScanRunning, context.UserHost, context.Dates);
        walker.WalkDirectory("");
        result.UnreadableFolders = walker.UnreadableFolders();
    }
    if (context.AudioCd.UseCdPlayer && UpperAscii(arch.Head.Volume) == kAudioCdLabel)
        ApplyCdPlayerTitles(arch, request.ProgramDir, context.AudioCd.Titles, context.Progress,
                            context.ScanRunning, context.UserHost);
    context.Progress.AddLine("");
    result.RecCount = arch.RecCount;
}

void ShrinkScanArchive(TArch& arch) {
    arch.Dirs.assign(1, TDir{});
    arch.Recs.assign(1, TRec{});
    arch.Dirs.shrink_to_fit();
    arch.Recs.shrink_to_fit();
    arch.DirCount = 0;
    arch.RecCount = 0;
    arch.Text.reset();
}

} // namespace

void RecordAudioTracks(TArch& arch, const TCdToc& toc, const TDateFormatter& dates) {
    arch.AddDir("\\");
    const time_t now = ::time(nullptr);
    std::tm local{};
    const std::string date = ::localtime_r(&now, &local) ? dates.DateTime(local) : "?";
    // The files of a disc cannot be written to.
    const std::string attr = AttrString(kAttrReadOnly);
    for (int track : AudioTracks(toc)) {
        TRec rec;
        rec.Name = CdaFileName(track);
        rec.Size = std::to_string(kCdaFileSize);
        rec.Date = date;
        rec.Attr = attr;
        arch.AddRec(std::move(rec));
    }
}

void CleanScanFields(TScanFields& f) {
    for (std::string* field : {&f.Name, &f.Medium, &f.Typ, &f.SubTyp, &f.Owner, &f.Description})
        *field = BlankOut(*field, kHeaderForbidden);
    if (f.Medium.empty()) f.Medium = kScanOtherMedium;
}

bool IsBlankName(std::string_view name) {
    return name.find_first_not_of(' ') == std::string_view::npos;
}

std::string GeneratedArchiveName(const TVolumeInfo& volume) {
    std::string name = volume.Label;
    const std::size_t chars = CharCount(name);
    if (chars < kLabelWidth) name.append(kLabelWidth - chars, ' ');
    return name + " - " + volume.Serial;
}

std::string ArchiveFileBase(std::string_view name) {
    bool valid = true;
    return FirstChars(IsValidName(name, valid), kArchiveBaseLength);
}

std::string NumberedBase(const std::string& folder, const std::string& base) {
    for (unsigned long i = 0;; ++i) {
        std::string candidate = base + "_" + std::to_string(i);
        if (!PathExists(JoinPath(folder, candidate + ".cd"))) return candidate;
    }
}

TCollisionQuestion MakeCollisionQuestion(const TScanTexts& texts, const std::string& base,
                                         const std::string& numberedBase) {
    TCollisionQuestion q;
    q.Base = base;
    q.NumberedBase = numberedBase;
    q.Title = texts.CollisionTitle + base + texts.CollisionTitleEnd;
    q.Text = texts.CollisionOffer + numberedBase + ".cd]." + "\r\n\r\n" + texts.CollisionChoice;
    return q;
}

TScanResult ScanToArchive(TScanRequest& request, TScanContext& context) {
    TScanResult result;
    // An empty source names no folder (the walk would take it for "/").
    if (request.Source.empty()) return result;
    TScanFields& fields = request.Fields;
    CleanScanFields(fields);
    // Only one of the two filters can be on; folders only wins.
    if (context.Options.OnlyFolders) context.Options.SelectedTypes = false;

    std::string generated;
    if (IsBlankName(fields.Name)) {
        generated = GeneratedArchiveName(request.Volume);
        fields.Name = BlankOut(generated, kHeaderForbidden);
        generated = fields.Name;
    }
    Show(context, fields);
    context.UserHost.Pump();
    auto clearGenerated = [&] {
        if (!generated.empty() && fields.Name == generated) fields.Name.clear();
        Show(context, fields);
    };

    const std::string& folder = context.ArchiveList.Folder;
    std::string base = ArchiveFileBase(fields.Name);
    if (!SettleCollision(folder, base, request.Texts, context.AskCollision)) {
        clearGenerated();
        return result;
    }
    result.FileName = base + ".cd";
    result.Path = JoinPath(folder, result.FileName);

    context.ScanRunning.store(true);
    if (context.Options.DescriptionExtensions.empty()) context.Options.Text = false;
    context.Progress.Clear();
    context.Progress.AddLine(request.Texts.Loading);
    AddValues(context.ValueLists, fields);

    TArch& arch = context.ScanArchive;
    FillHeader(arch.Head, request, result.FileName);
    WalkSource(request, context, result);
    if (context.ScanRunning.exchange(false)) {
        Finish(request, context, result);
    } else {
        result.Outcome = TScanOutcome::Cancelled;
        context.Progress.Clear();
        AddResultLine(context, result, request.Texts.Cancelled);
    }
    ShrinkScanArchive(arch);
    clearGenerated();
    return result;
}

} // namespace orbisk
