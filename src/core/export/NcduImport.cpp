#include "core/export/NcduImport.h"

#include <ctime>
#include <vector>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/Common.h"
#include "core/catalog/ProgramValues.h"
#include "core/export/JsonReader.h"
#include "core/scan/EntryName.h"
#include "core/scan/ScanDriver.h"
#include "core/scan/Walk.h"

namespace orbisk {

namespace {

struct TNode {
    std::string Name;
    long long Size = 0;
    long long Mtime = 0;
    long long Mode = 0;
    bool HasMtime = false;
    bool HasMode = false;
    bool IsDir = false;
    std::int32_t FirstChild = -1, LastChild = -1, Next = -1;
};

enum class TFrame { Top, Dir, Info, Skip };

// Builds the item tree from the reader's events, checking the layout of an
// ncdu export as it goes.
class NcduHandler : public JsonHandler {
public:
    NcduHandler(const std::atomic<bool>& running, Host& host) : running_(running), ticker_(host) {}

    std::vector<TNode> nodes;
    std::string fault; // why the layout was refused; empty when cancelled

    bool BeginArray() override {
        if (stack_.empty()) return Push(TFrame::Top, -1);
        Frame& parent = stack_.back();
        switch (parent.kind) {
        case TFrame::Top:
            if (parent.elements++ != 3) return Refuse("the fourth element must be the root");
            return Push(TFrame::Dir, NewNode(-1, true));
        case TFrame::Dir:
            if (parent.elements++ == 0) return Refuse("a directory must begin with its info");
            return Push(TFrame::Dir, NewNode(parent.node, true));
        case TFrame::Info:
        case TFrame::Skip:
            return Push(TFrame::Skip, -1);
        }
        return false;
    }
    bool BeginObject() override {
        ticker_.Tick();
        if (!running_.load(std::memory_order_relaxed)) return false;
        if (stack_.empty()) return Refuse("an export is an array");
        Frame& parent = stack_.back();
        switch (parent.kind) {
        case TFrame::Top:
            if (parent.elements++ != 2) return Refuse("the third element must be the metadata");
            return Push(TFrame::Skip, -1);
        case TFrame::Dir:
            if (parent.elements++ == 0) return Push(TFrame::Info, parent.node);
            return Push(TFrame::Info, NewNode(parent.node, false));
        case TFrame::Info:
        case TFrame::Skip:
            return Push(TFrame::Skip, -1);
        }
        return false;
    }
    bool Key(std::string_view key) override {
        if (stack_.back().kind == TFrame::Info) key_.assign(key);
        return true;
    }
    bool EndArray() override {
        const Frame done = stack_.back();
        stack_.pop_back();
        if (done.kind == TFrame::Top && done.elements != 4)
            return Refuse("an export has four elements");
        if (done.kind == TFrame::Dir && done.elements == 0)
            return Refuse("a directory must begin with its info");
        return true;
    }
    bool EndObject() override {
        const Frame done = stack_.back();
        stack_.pop_back();
        if (done.kind == TFrame::Info && !named_) return Refuse("an item without a name");
        return true;
    }
    bool String(std::string_view value) override {
        if (!Scalar()) return false;
        if (stack_.back().kind != TFrame::Info || key_ != "name") return Plain("name");
        if (value.empty() || value.find('\0') != std::string_view::npos)
            return Refuse("an empty name or one with a NUL byte");
        nodes[static_cast<std::size_t>(stack_.back().node)].Name.assign(value);
        named_ = true;
        return true;
    }
    bool Number(std::string_view text) override {
        if (!Scalar()) return false;
        Frame& top = stack_.back();
        if (top.kind == TFrame::Top) {
            long long version = 0;
            const std::size_t index = top.elements++;
            if (index > 1) return Refuse("the first elements must be the version");
            if (!JsonWholeNumber(text, version) || version < 0 || version > 10000 ||
                (index == 0 && version != 1))
                return Refuse("not a version 1 export");
            return true;
        }
        if (top.kind != TFrame::Info) return true;
        TNode& node = nodes[static_cast<std::size_t>(top.node)];
        if (key_ == "name") return Refuse("a name must be a string");
        long long value = 0;
        const bool whole = JsonWholeNumber(text, value);
        if (key_ == "asize") {
            if (!whole || value < 0) return Refuse("a size must be a whole number");
            node.Size = value;
        } else if (key_ == "mtime") {
            if (!whole) return Refuse("a time must be a whole number");
            node.Mtime = value;
            node.HasMtime = true;
        } else if (key_ == "mode") {
            if (!whole || value < 0) return Refuse("a mode must be a whole number");
            node.Mode = value;
            node.HasMode = true;
        }
        return true;
    }
    bool Literal(TJsonLiteral) override { return Scalar() && Plain("name"); }

private:
    struct Frame {
        TFrame kind;
        std::int32_t node;
        std::size_t elements = 0;
    };

    bool Refuse(const char* why) {
        fault = why;
        return false;
    }
    bool Push(TFrame kind, std::int32_t node) {
        if (kind == TFrame::Info) {
            named_ = false;
            key_.clear();
        }
        stack_.push_back({kind, node});
        return true;
    }
    // A scalar where only arrays and objects belong.
    bool Scalar() {
        if (stack_.empty()) return Refuse("an export is an array");
        if (stack_.back().kind == TFrame::Dir) return Refuse("a directory holds only items");
        if (stack_.back().kind == TFrame::Top && stack_.back().elements > 1)
            return Refuse("the third and fourth elements must be the metadata and the root");
        return true;
    }
    // A string or literal value: refused only for a key that needs a number
    // or (key) a string.
    bool Plain(std::string_view stringKey) {
        if (stack_.back().kind == TFrame::Top) return Refuse("the version must be a number");
        if (stack_.back().kind != TFrame::Info) return true;
        if (key_ == stringKey) return Refuse("a name must be a string");
        if (key_ == "asize" || key_ == "mtime" || key_ == "mode")
            return Refuse("a size, time or mode must be a number");
        return true;
    }
    std::int32_t NewNode(std::int32_t parent, bool isDir) {
        const auto index = static_cast<std::int32_t>(nodes.size());
        nodes.push_back({});
        nodes.back().IsDir = isDir;
        if (parent >= 0) {
            TNode& p = nodes[static_cast<std::size_t>(parent)];
            if (p.LastChild >= 0)
                nodes[static_cast<std::size_t>(p.LastChild)].Next = index;
            else
                p.FirstChild = index;
            p.LastChild = index;
        }
        return index;
    }

    const std::atomic<bool>& running_;
    PumpTicker ticker_;
    std::vector<Frame> stack_;
    std::string key_;
    bool named_ = false;
};

// An archive name as a header line can hold it: the bytes that end a field, a
// line or the text, and "\", become blanks (as the scan cleans its fields).
std::string HeaderSafeName(std::string_view name) {
    return BlankOut(name, std::string_view("\\\x07\t\r\n\x1A", 6));
}

TRec RecordOf(const TNode& node, const TDateFormatter& dates) {
    std::uint32_t bits = node.IsDir ? std::uint32_t{kAttrDirectory} : 0u;
    if (node.Name.front() == '.') bits |= kAttrHidden;
    if (node.HasMode && (node.Mode & 0200) == 0) bits |= kAttrReadOnly;
    TRec rec;
    rec.Name = NeedsLineSafeName(node.Name) ? LineSafeName(node.Name) : node.Name;
    rec.Size = node.IsDir ? std::string("0") : std::to_string(node.Size);
    std::tm local{};
    const auto seconds = static_cast<std::time_t>(node.Mtime);
    rec.Date =
        node.HasMtime && ::localtime_r(&seconds, &local) ? dates.DateTime(local) : std::string("?");
    rec.Attr = AttrString(bits);
    return rec;
}

// Records the tree depth first, as the walk does: a folder's entries sorted,
// then its subfolders in that order.
void RecordTree(const std::vector<TNode>& nodes, TArch& arch, const TDateFormatter& dates) {
    struct Pending {
        std::int32_t node;
        std::string path;
    };
    std::vector<Pending> stack{{0, ""}};
    std::vector<std::int32_t> children;
    while (!stack.empty()) {
        Pending dir = std::move(stack.back());
        stack.pop_back();
        arch.AddDir(dir.path + "\\");
        const std::int32_t first = arch.RecCount + 1;
        children.clear();
        for (std::int32_t c = nodes[static_cast<std::size_t>(dir.node)].FirstChild; c >= 0;
             c = nodes[static_cast<std::size_t>(c)].Next) {
            children.push_back(c);
            arch.AddRec(RecordOf(nodes[static_cast<std::size_t>(c)], dates));
        }
        const std::vector<std::int32_t> order = SortOrder(arch.Recs, first, arch.RecCount);
        std::vector<TRec> sorted;
        sorted.reserve(order.size());
        for (std::int32_t offset : order)
            sorted.push_back(std::move(arch.Recs[static_cast<std::size_t>(first + offset)]));
        for (std::size_t k = 0; k < sorted.size(); ++k)
            arch.Recs[static_cast<std::size_t>(first) + k] = std::move(sorted[k]);
        for (std::size_t k = order.size(); k-- > 0;) {
            const TRec& rec = arch.Recs[static_cast<std::size_t>(first) + k];
            const std::int32_t node = children[static_cast<std::size_t>(order[k])];
            if (nodes[static_cast<std::size_t>(node)].IsDir)
                stack.push_back({node, dir.path + "\\" + rec.Name.str()});
        }
    }
}

} // namespace

std::string NcduArchiveName(std::string_view rootPath) {
    while (rootPath.size() > 1 && rootPath.back() == '/')
        rootPath.remove_suffix(1);
    const std::size_t slash = rootPath.rfind('/');
    if (slash == std::string_view::npos || rootPath.size() == 1) return std::string(rootPath);
    return std::string(rootPath.substr(slash + 1));
}

bool ParseNcduExport(std::string_view text, TArch& arch, std::string& rootPath,
                     const TDateFormatter& dates, const std::atomic<bool>& running, Host& host,
                     std::string& error) {
    error.clear();
    NcduHandler handler(running, host);
    TJsonError json;
    if (!ReadJson(text, handler, json)) {
        if (!json.Message.empty())
            error = "byte " + std::to_string(json.Offset) + ": " + json.Message;
        else if (!handler.fault.empty())
            error = "byte " + std::to_string(json.Offset) + ": " + handler.fault;
        return false;
    }
    if (handler.nodes.empty()) {
        error = "no scanned root";
        return false;
    }
    rootPath = handler.nodes.front().Name;
    arch.Clear();
    arch.Head.Name = HeaderSafeName(NcduArchiveName(rootPath));
    arch.Head.Medium = std::string(kScanOtherMedium);
    RecordTree(handler.nodes, arch, dates);
    return true;
}

TImportResult ImportNcduFile(const std::string& jsonPath, const std::string& targetFolder,
                             const std::string& name, const TDateFormatter& dates,
                             const std::atomic<bool>& running, Host& host) {
    TImportResult result;
    std::string text;
    result.Status = ReadWholeFile(jsonPath, text);
    if (!result.Status.ok) return result;
    TArch arch;
    std::string rootPath;
    if (!ParseNcduExport(text, arch, rootPath, dates, running, host, result.Error)) {
        result.Outcome =
            result.Error.empty() ? TImportOutcome::Cancelled : TImportOutcome::Malformed;
        return result;
    }
    if (!IsBlankName(name)) arch.Head.Name = HeaderSafeName(name);
    std::string base = ArchiveFileBase(arch.Head.Name);
    if (base.empty() || PathExists(JoinPath(targetFolder, base + ".cd")))
        base = NumberedBase(targetFolder, base);
    result.FileName = base + ".cd";
    result.Path = JoinPath(targetFolder, result.FileName);
    result.RecCount = arch.RecCount;
    result.Status = SaveOutputFile(result.Path, FormatArchive(arch), BackupMode::KeepFirst);
    result.Outcome = result.Status.ok ? TImportOutcome::Written : TImportOutcome::NotWritten;
    result.Head = arch.Head;
    result.Head.FileName = result.FileName;
    return result;
}

} // namespace orbisk
