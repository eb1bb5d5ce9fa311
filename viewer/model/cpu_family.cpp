// cpu_family.cpp: the family table, DetectCpuFamily and the process-wide map model.
#include "map_model.hpp"

#include <cstring>

namespace tessaly {

namespace {

struct FamilyRow {
    const char* cpuName;
    tessaly::CpuFamily family;
    uint32_t maxAddress;
    int32_t addressDigits;
};

// Searched in this order; the first exact match wins.
constexpr FamilyRow kFamilies[] = {
    { "Alcor", CpuAlcor, 0xFFFFFu, 6 },
    { "Bellis", CpuBellis, 0xFFFFFu, 6 },
    { "Carina", CpuCarina, 0xFFFFFFu, 6 },
    { "Dorado", CpuDorado, 0xFFFFFFu, 6 },
    { "Eridan", CpuEridan, 0xFFFFFFu, 6 },
    { "Fornax", CpuFornax, 0xFFFFFFu, 6 },
    { "Grus", CpuGrus, 0xFFFFFFFFu, 8 },
};

} // namespace

const char* CpuFamilyName(tessaly::CpuFamily family)
{
    switch (family) {
    case CpuNone:
        return "CpuNone";
    case CpuAlcor:
        return "CpuAlcor";
    case CpuBellis:
        return "CpuBellis";
    case CpuCarina:
        return "CpuCarina";
    case CpuDorado:
        return "CpuDorado";
    case CpuEridan:
        return "CpuEridan";
    case CpuFornax:
        return "CpuFornax";
    case CpuGrus:
        return "CpuGrus";
    case CpuOther:
        return "CpuOther";
    }
    return "CpuOther";
}

MapModel& mapModel()
{
    static MapModel model;
    return model;
}

CpuFamilyInfo LookUpCpuFamily(const char* cpuName)
{
    // A successful read always sets the CPU name; a null one is simply no known family.
    if (cpuName)
        for (const FamilyRow& row : kFamilies)
            if (std::strcmp(cpuName, row.cpuName) == 0)
                return { row.family, row.maxAddress, row.addressDigits };
    return {};
}

void DetectCpuFamily(MapModel& model, const IeRoot* root)
{
    const CpuFamilyInfo info = LookUpCpuFamily(root ? root->cpuName : nullptr);
    model.CpuFamily = info.family;
    model.MaxAddress = info.maxAddress;
    model.AddressDigits = info.addressDigits;
    model.NameWidths.fill(0);
    BuildMapTables(model, root);
}

void DetectCpuFamily(MapModel& model)
{
    DetectCpuFamily(model, IE_getRoot());
}

void DetectCpuFamily()
{
    DetectCpuFamily(mapModel());
}

} // namespace tessaly
