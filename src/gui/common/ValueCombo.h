#pragma once
// The category boxes (medium, type, subtype, owner) of the scan and
// properties windows: editable combo boxes offering the known values.
#include <QString>
#include <string>
#include <vector>

class QComboBox;

namespace orbisk {

// Fills box with the values, sorted as the user reads them, and shows text.
void OfferValues(QComboBox& box, const std::vector<std::string>& values, const QString& text);

} // namespace orbisk
