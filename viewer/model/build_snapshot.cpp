// build_snapshot.cpp: one walk of the tree that fills a build snapshot or a view of the live tree.
#include "build_snapshot.hpp"

#include <algorithm>
#include <cstring>

namespace tessaly {

namespace {

// "" rather than an empty view for null, so that every name's data() is a C string.
std::string_view nameOf(const char* name)
{
    return name ? std::string_view(name) : std::string_view("");
}

// Where a view keeps the records its items come from; a snapshot keeps none.
struct NoRecords {
    void reserve(std::size_t, std::size_t, std::size_t, std::size_t, std::size_t) { }
    void section(const IeSection*) { }
    void moduleSection(const IeModSection*) { }
    void label(const void*) { }
    void equ(const void*) { }
    void function(const IeFnDef*) { }
};

struct ViewRecords {
    TreeBuildView& view;
    void reserve(std::size_t sections, std::size_t parts, std::size_t labels, std::size_t equs, std::size_t functions)
    {
        view.sectionRecords.reserve(sections);
        view.moduleSectionRecords.reserve(parts);
        view.labelRecords.reserve(labels);
        view.equRecords.reserve(equs);
        view.functionRecords.reserve(functions);
    }
    void section(const IeSection* record) { view.sectionRecords.push_back(record); }
    void moduleSection(const IeModSection* record) { view.moduleSectionRecords.push_back(record); }
    void label(const void* record) { view.labelRecords.push_back(record); }
    void equ(const void* record) { view.equRecords.push_back(record); }
    void function(const IeFnDef* record) { view.functionRecords.push_back(record); }
};

// Every list is counted first and each vector sized once: a snapshot holds no spare capacity,
// and a second walk costs less than growing the vectors of a big tree.
template <typename Records> void reserveExactly(const IeRoot& root, CpuFamily family, BuildView& out, Records& records)
{
    std::size_t sections = 0, modules = 0, parts = 0, labels = 0, equs = 0, sources = 0, functions = 0;
    auto countSymbol = [&](int32_t kind) {
        labels += kind == IE_KIND_LABEL;
        equs += kind == IE_KIND_EQU;
    };
    for (const IeSection* s = root.sections; s; s = s->next)
        ++sections;
    for (const IeSymbol* s = root.symbols; s; s = s->next)
        countSymbol(s->kind);
    for (const IeModule* m = root.modules; m; m = m->next) {
        ++modules;
        for (const IeModSection* p = m->sections; p; p = p->next)
            ++parts;
        for (const IeModSymbol* s = m->symbols; s; s = s->next)
            countSymbol(s->kind);
        for (const IeSource* source = m->sources; source; source = source->next) {
            ++sources;
            for (const IeFnDef* f = source->functions; f; f = f->next)
                functions += AdmittedToFunctionTable(family, *f);
        }
    }
    out.sections.reserve(sections);
    out.modules.reserve(modules);
    out.moduleSections.reserve(parts);
    out.labels.reserve(labels);
    out.equs.reserve(equs);
    out.sources.reserve(sources);
    out.functions.reserve(functions);
    records.reserve(sections, parts, labels, equs, functions);
}

// Sized like the build it is to be compared with, and an eighth more: a later build of a program
// has about as many items, and a vector that still runs short grows as usual. This saves the
// counting walk, which costs about as much as the walk that fills the vectors.
template <typename Records> void reserveLike(const BuildView& likely, BuildView& out, Records& records)
{
    auto withSlack = [](std::size_t count) { return count + count / 8; };
    out.sections.reserve(withSlack(likely.sections.size()));
    out.modules.reserve(withSlack(likely.modules.size()));
    out.moduleSections.reserve(withSlack(likely.moduleSections.size()));
    out.labels.reserve(withSlack(likely.labels.size()));
    out.equs.reserve(withSlack(likely.equs.size()));
    out.sources.reserve(withSlack(likely.sources.size()));
    out.functions.reserve(withSlack(likely.functions.size()));
    records.reserve(withSlack(likely.sections.size()), withSlack(likely.moduleSections.size()),
        withSlack(likely.labels.size()), withSlack(likely.equs.size()), withSlack(likely.functions.size()));
}

// name(const char*) gives what an item keeps of a name: a view into the tree, or into a copy.
template <typename Records, typename KeepName>
void walkBuild(const IeRoot& root, const BuildView* likely, BuildView& out, Records records, KeepName name)
{
    const CpuFamilyInfo familyInfo = LookUpCpuFamily(root.cpuName);
    const CpuFamily family = familyInfo.family;
    out.family = family;
    out.addressDigits = familyInfo.addressDigits;
    if (likely)
        reserveLike(*likely, out, records);
    else
        reserveExactly(root, family, out, records);

    for (const IeSection* s = root.sections; s; s = s->next) {
        out.sections.push_back({ name(s->name), s->start, s->size, SectionKindOf(s->type) });
        records.section(s);
    }

    auto addSymbol = [&](int32_t kind, const char* symbolName, uint32_t value, int32_t module, const void* record) {
        if (kind == IE_KIND_LABEL) {
            out.labels.push_back({ name(symbolName), value, module });
            records.label(record);
        } else if (kind == IE_KIND_EQU) {
            out.equs.push_back({ name(symbolName), value, module });
            records.equ(record);
        }
    };
    for (const IeSymbol* s = root.symbols; s; s = s->next)
        addSymbol(s->kind, s->name, s->value, -1, s);

    int32_t module = 0;
    for (const IeModule* m = root.modules; m; m = m->next, ++module) {
        out.modules.push_back(name(m->name));
        for (const IeModSection* p = m->sections; p; p = p->next) {
            const bool hasSection = p->section != nullptr;
            out.moduleSections.push_back(
                { module, hasSection, hasSection ? name(p->section->name) : std::string_view(), p->start, p->size });
            records.moduleSection(p);
        }
        for (const IeModSymbol* s = m->symbols; s; s = s->next)
            addSymbol(s->kind, s->name, s->value, module, s);
        for (const IeSource* source = m->sources; source; source = source->next) {
            const auto sourceIndex = static_cast<int32_t>(out.sources.size());
            out.sources.push_back(name(source->name));
            for (const IeFnDef* f = source->functions; f; f = f->next) {
                if (!AdmittedToFunctionTable(family, *f))
                    continue;
                out.functions.push_back({ name(f->name), sourceIndex, f->address, f->size });
                records.function(f);
            }
        }
    }
}

} // namespace

std::string_view NameText::keep(std::string_view name)
{
    constexpr std::size_t blockSize = 64 * 1024;
    if (name.empty())
        return "";
    if (name.size() >= m_left) {
        const std::size_t size = std::max(blockSize, name.size() + 1);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
        m_free = m_blocks.back().get();
        m_left = size;
    }
    char* kept = m_free;
    std::memcpy(kept, name.data(), name.size());
    kept[name.size()] = '\0';
    m_free += name.size() + 1;
    m_left -= name.size() + 1;
    return { kept, name.size() };
}

BuildSnapshot TakeBuildSnapshot(const IeRoot* root)
{
    BuildSnapshot snapshot;
    if (root)
        walkBuild(*root, nullptr, snapshot, NoRecords {},
            [&text = snapshot.text](const char* name) { return text.keep(nameOf(name)); });
    return snapshot;
}

TreeBuildView ViewBuild(const IeRoot* root, const BuildView* likely)
{
    TreeBuildView view;
    if (root)
        walkBuild(*root, likely, view, ViewRecords { view }, nameOf);
    return view;
}

BuildView ViewBuildItems(const IeRoot* root, const BuildView* likely)
{
    BuildView view;
    if (root)
        walkBuild(*root, likely, view, NoRecords {}, nameOf);
    return view;
}

int ReadBuildSnapshot(const std::string& path, int mask, BuildSnapshot& snapshot)
{
    snapshot = {};
    const int code = IE_readIEEE(path.c_str(), mask);
    if (code == 0)
        snapshot = TakeBuildSnapshot(IE_getRoot());
    IE_freeIEEE();
    return code;
}

} // namespace tessaly
