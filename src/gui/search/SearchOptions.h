#pragma once
// The setup options that the search windows read. Until the setup window
// takes them over they keep their defaults.
namespace orbisk {

struct TSearchOptions {
    // "skryj v hledání volbu  doplňuj na *maska*": the star completion check
    // box is hidden and unchecked.
    bool HideStarOption = false;
};

// The one record of the process; the setup window writes it.
TSearchOptions& SearchOptions();

} // namespace orbisk
