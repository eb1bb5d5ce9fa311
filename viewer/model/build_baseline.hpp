// build_baseline.hpp: the build the shown one is compared with, and its changes over the shown file's tables.
#pragma once

#include "build_compare.hpp"
#include "build_snapshot.hpp"
#include "map_model.hpp"

#include <string>

namespace tessaly {

struct BuildBaseline {
    // The file it was read from; for the shown build taken before a reload, that file's path.
    std::string path;
    bool previousBuild = false; // taken from the build on screen rather than read from path
    BuildSnapshot snapshot;
    // Indexed like the model's tables; rebuilt with them (BuildMapTables).
    TableChanges changes;
};

// Recomputes the baseline's changes over the tables just built on the tree under root; nothing
// when the model compares with nothing.
void RefreshBaselineChanges(MapModel& model, const IeRoot* root);

// Whether a SectionTable entry changed size since the baseline: +1 grown (or new), -1 shrunk, 0
// otherwise, for a free area and when not comparing.
int SectionSizeChange(const MapModel& model, int32_t entry);

// The document's title: the shown file, and while comparing the baseline too:
// "new.abs compared with old.abs", "app.abs compared with its previous build".
std::string DocumentTitle(const MapModel& model);

} // namespace tessaly
