#include "gui/common/GuiHost.h"

#include "gui/common/Prompt.h"
#include "gui/common/Text.h"

namespace orbisk {

void GuiHost::Inform(std::string_view text) {
    Prompt::Information(DecodeText(text));
}

void GuiHost::Warn(std::string_view text) {
    Prompt::Warning(DecodeText(text));
}

} // namespace orbisk
