#include "gui/common/ValueCombo.h"

#include <QCollator>
#include <QComboBox>
#include <QStringList>
#include <algorithm>

#include "gui/common/Text.h"

namespace orbisk {

void OfferValues(QComboBox& box, const std::vector<std::string>& values, const QString& text) {
    QStringList shown;
    for (const std::string& value : values)
        shown.append(DecodeText(value));
    QCollator collator;
    std::sort(shown.begin(), shown.end(), collator);
    box.clear();
    box.addItems(shown);
    box.setEditText(text);
}

} // namespace orbisk
