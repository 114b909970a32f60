#pragma once
// The options of the archive tree and the archive list that the setup window
// owns; the tree handler reads them at every build and drag.
namespace orbisk {

struct TArchiveOptions {
    // "Zobrazovat Archivy ve stromové struktuře levého okna  (pomalé)":
    // every archive is also a leaf of the archive tree.
    bool ArchivesInTree = false;
    // "Povol Drag&&Drop z levého okna do levého okna  (samo na sebe)":
    // archive leaves can be dragged onto folder nodes of the tree.
    bool TreeDragDrop = false;
    // "Zobrazuj horní okno s Archívy": the archive list pane is shown.
    bool ShowArchiveList = true;
};

} // namespace orbisk
