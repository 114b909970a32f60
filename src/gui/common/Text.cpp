#include "gui/common/Text.h"

#include "core/catalog/CodePage.h"
#include "core/catalog/Common.h"

namespace orbisk {

namespace {

// Bytes that end or split a line of an archive file; LF last.
constexpr std::string_view kBreaksLine{"\t\r\x07\x1a\n", 5};

bool IsAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool IsCp1250Text(std::string_view bytes) {
    return !IsValidUtf8(bytes);
}

bool HeaderUsesCp1250(const THead& head) {
    for (const std::string* s : {&head.Name, &head.Typ, &head.SubTyp, &head.Medium, &head.Owner,
                                 &head.Description, &head.Volume})
        if (IsCp1250Text(*s)) return true;
    return false;
}

} // namespace

TCodePage CodePageOf(std::string_view bytes) {
    return IsValidUtf8(bytes) ? TCodePage::Utf8 : TCodePage::Cp1250;
}

QString DecodeText(std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    std::string utf8 = Cp1250ToUtf8(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string EncodeText(const QString& text, TCodePage page) {
    QByteArray utf8 = text.toUtf8();
    std::string_view utf8View(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    if (page == TCodePage::Cp1250) {
        std::string cp1250;
        if (Utf8ToCp1250(utf8View, cp1250) && (IsAscii(cp1250) || !IsValidUtf8(cp1250)))
            return cp1250;
    }
    return std::string(utf8View);
}

TCodePage ArchiveCodePage(const TArch& arch) {
    if (HeaderUsesCp1250(arch.Head)) return TCodePage::Cp1250;
    for (std::int32_t i = 1; i <= arch.RecCount; ++i) {
        const TRec& rec = arch.Recs[static_cast<std::size_t>(i)];
        if (IsCp1250Text(rec.Name) || IsCp1250Text(rec.Note) || IsCp1250Text(rec.Description))
            return TCodePage::Cp1250;
    }
    return TCodePage::Utf8;
}

QString DescriptionToText(std::string_view description) {
    if (!description.empty() && description.back() == kLineMark) description.remove_suffix(1);
    if (description.empty()) return {};
    QString text = DecodeText(description);
    text.replace(QChar(kLineMark), QChar('\n'));
    return text;
}

std::string TextToNote(const QString& text, TCodePage page) {
    return BlankOut(EncodeText(text, page), kBreaksLine);
}

std::string TextToDescription(const QString& text, TCodePage page) {
    if (text.isEmpty()) return {};
    QString lines = text;
    lines.replace(QChar::LineSeparator, QChar('\n'));
    // Encoded as one string, so that all lines share one code page.
    std::string description = BlankOut(EncodeText(lines, page), kBreaksLine.substr(0, 4));
    for (char& c : description)
        if (c == '\n') c = kLineMark;
    description += kLineMark;
    return description;
}

} // namespace orbisk
