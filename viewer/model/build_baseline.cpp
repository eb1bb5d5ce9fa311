// build_baseline.cpp: keeping a baseline's changes in step with the shown file's tables, and the title naming both.
#include "build_baseline.hpp"

namespace tessaly {

void RefreshBaselineChanges(MapModel& model, const IeRoot* root)
{
    if (!model.Baseline)
        return;
    model.Baseline->changes = root ? CompareWithTables(model.Baseline->snapshot, model, root) : TableChanges {};
}

int SectionSizeChange(const MapModel& model, int32_t entry)
{
    if (!model.Baseline || entry < 0 || static_cast<size_t>(entry) >= model.SectionTable.size())
        return 0;
    const TableChanges& changes = model.Baseline->changes;
    if (static_cast<size_t>(entry) >= changes.sections.size())
        return 0;
    const EntryChange change = changes.sections[static_cast<size_t>(entry)];
    if (change.change == Change::Added)
        return 1;
    const auto& old = model.Baseline->snapshot.sections;
    if (change.change != Change::Resized || change.oldIndex < 0 || static_cast<size_t>(change.oldIndex) >= old.size())
        return 0;
    const uint32_t newSize = model.SectionTable[static_cast<size_t>(entry)].record->size;
    return newSize > old[static_cast<size_t>(change.oldIndex)].size ? 1 : -1;
}

std::string DocumentTitle(const MapModel& model)
{
    if (!model.Baseline)
        return model.LoadedPath;
    if (model.Baseline->previousBuild)
        return model.LoadedPath + " compared with its previous build";
    return model.LoadedPath + " compared with " + model.Baseline->path;
}

} // namespace tessaly
