#include "core/settings/CoreTexts.h"

#include <array>

#include "core/catalog/ArchiveListEdit.h"
#include "core/catalog/Browse.h"
#include "core/catalog/TextFile.h"

namespace orbisk {

namespace {

constexpr std::size_t kCount = static_cast<std::size_t>(TCoreText::Count);

const std::array<TCoreTextInfo, kCount> kInfo = {{
    {"LabelT_FileMissing", kMsgFileMissing},
    {"LabelT_CannotRead", kMsgCannotRead},
    {"LabelT_CannotCreate", kMsgCannotCreate},
    {"LabelT_CannotDelete", kMsgCannotDelete},
    {"LabelT_KilobytesIn", kKilobytesIn},
}};

std::array<std::string, kCount>& Current() {
    static std::array<std::string, kCount> texts = [] {
        std::array<std::string, kCount> builtin;
        for (std::size_t i = 0; i < kCount; ++i)
            builtin[i] = std::string(kInfo[i].Builtin);
        return builtin;
    }();
    return texts;
}

} // namespace

const TCoreTextInfo& CoreTextInfo(TCoreText id) {
    return kInfo[static_cast<std::size_t>(id)];
}

std::string_view CoreText(TCoreText id) {
    return Current()[static_cast<std::size_t>(id)];
}

void SetCoreText(TCoreText id, std::string_view text) {
    Current()[static_cast<std::size_t>(id)] = std::string(text);
}

void ResetCoreTexts() {
    for (std::size_t i = 0; i < kCount; ++i)
        Current()[i] = std::string(kInfo[i].Builtin);
}

} // namespace orbisk
