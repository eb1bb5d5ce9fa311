// left_geometry.cpp: positions, texts and bands of the section-list and memory-size pictures, and the hit test, jump
// and zoom rules.
#include "left_geometry.hpp"

#include "section_tag.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace tessaly {

namespace {

constexpr double kFarOff = 1073741824.0; // 2^30: any position this far off is off the picture

std::string formatHex(const char* format6, const char* format8, int32_t addressDigits, uint32_t a, uint32_t b = 0)
{
    char text[40];
    std::snprintf(
        text, sizeof text, addressDigits == 8 ? format8 : format6, static_cast<unsigned>(a), static_cast<unsigned>(b));
    return text;
}

// Entry ends are computed without wrapping, so an entry that reaches the top of the 32-bit
// space ends above everything rather than at 0.
uint64_t entryEnd(const IeSection& record)
{
    return static_cast<uint64_t>(record.start) + record.size;
}

int32_t clampToInt(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, -static_cast<int64_t>(kFarOff), static_cast<int64_t>(kFarOff)));
}

} // namespace

std::string FormatAddress(int32_t addressDigits, uint32_t address)
{
    return formatHex(" %06x", " %08x", addressDigits, address);
}

std::string FormatAddressAndSize(int32_t addressDigits, uint32_t address, uint32_t size)
{
    return formatHex(" %06x(%06x)", " %08x(%08x)", addressDigits, address, size);
}

int32_t CountVisibleRows(const MapModel& model)
{
    int32_t rows = 0;
    for (const SectionEntry& entry : model.SectionTable)
        if (entry.record->size != 0)
            ++rows;
    return rows;
}

// ---------------------------------------------------------------------------------------------
// Section-list picture.

SectionListGeometry SectionListGeometry::Compute(
    int32_t addressDigits, int32_t sectionNameMax, CellMetrics cell, int32_t rows)
{
    SectionListGeometry g;
    g.addressX = 0;
    g.markerX = (2 * addressDigits + 3) * cell.charWidth;
    g.boxLeft = (2 * addressDigits + 5) * cell.charWidth;
    g.boxRight = g.boxLeft + cell.charWidth * std::max(sectionNameMax + 4, 7);
    g.firstRowTop = cell.lineHeight;
    g.listBottom = clampToInt(static_cast<int64_t>(cell.lineHeight) * (static_cast<int64_t>(rows) + 1));
    return g;
}

ScrollSizes SectionListScrollSizes(
    const MapModel& model, CellMetrics cell, int32_t rows, int32_t clientWidth, int32_t clientHeight)
{
    ScrollSizes s;
    s.width = (std::max(SectionNameMax(model), 7) + 2 * model.AddressDigits + 10) * cell.charWidth;
    s.height = clampToInt(static_cast<int64_t>(rows + 2) * cell.lineHeight);
    s.pageWidth = clientWidth;
    s.pageHeight = clientHeight;
    s.lineWidth = cell.charWidth;
    s.lineHeight = cell.lineHeight;
    return s;
}

SectionListPicture BuildSectionListPicture(
    const MapModel& model, CellMetrics cell, int32_t markerY, int32_t previousMarkerY, PictureClip clip)
{
    const int32_t digits = model.AddressDigits;
    SectionListPicture picture;
    SectionListGeometry& g = picture.geometry;
    g = SectionListGeometry::Compute(digits, SectionNameMax(model), cell, 0);
    picture.header = { 0, 0, digits == 8 ? "  Address(size)" : "Address(size)" };
    picture.sectionHeader = { g.boxLeft, 0, "Section" };

    int32_t row = 0;
    for (const SectionEntry& entry : model.SectionTable) {
        const IeSection& record = *entry.record;
        if (record.size == 0)
            continue;
        const int32_t y = clampToInt(static_cast<int64_t>(cell.lineHeight) * (static_cast<int64_t>(row) + 1));
        // Neighbouring boxes share their border line, so each box reaches one pixel into the next row.
        if (clip.touches(y, y + cell.lineHeight + 1)) {
            SectionListRow& out = picture.rows.emplace_back();
            out.row = row;
            out.record = entry.record;
            out.entry = static_cast<int32_t>(&entry - model.SectionTable.data());
            out.address = { 0, y, FormatAddressAndSize(digits, record.start, record.size) };
            out.box = { g.boxLeft, y, g.boxRight, y + cell.lineHeight + 1 };
            out.name = { g.boxLeft, y, record.name ? record.name : "" };
        }
        ++row;
    }
    g.listBottom = clampToInt(static_cast<int64_t>(cell.lineHeight) * (static_cast<int64_t>(row) + 1));

    picture.markerWipe = { g.markerX, previousMarkerY, "  " };
    picture.marker = { g.markerX, markerY, ">>" };
    picture.maxAddress = { 0, g.listBottom, FormatAddress(digits, model.MaxAddress) };
    return picture;
}

int32_t SectionListMarkerY(const MapModel& model, CellMetrics cell, uint32_t address)
{
    int32_t counter = 0;
    bool stopped = false;
    for (const SectionEntry& entry : model.SectionTable) {
        const IeSection& record = *entry.record;
        if (record.size == 0)
            continue;
        if (record.start == address) {
            stopped = true;
            break;
        }
        if (record.start > address) {
            --counter;
            stopped = true;
            break;
        }
        ++counter;
    }
    // An address inside the last row marks that row, not the line below the list.
    if (!stopped && counter > 0)
        --counter;
    return clampToInt(static_cast<int64_t>(cell.lineHeight) + static_cast<int64_t>(counter) * cell.lineHeight);
}

std::optional<uint32_t> SectionListJumpAddress(const MapModel& model, CellMetrics cell, int32_t y)
{
    if (cell.lineHeight <= 0)
        return std::nullopt;
    const int32_t row = y / cell.lineHeight - 1;
    if (row < 0)
        return std::nullopt;
    int32_t counter = 0;
    std::optional<uint32_t> last;
    for (const SectionEntry& entry : model.SectionTable) {
        if (entry.record->size == 0)
            continue;
        if (counter == row)
            return entry.record->start;
        last = entry.record->start;
        ++counter;
    }
    // Past the last row (its bottom border): the last row.
    return last;
}

// ---------------------------------------------------------------------------------------------
// Memory-size picture.

MemorySizeGeometry MemorySizeGeometry::Compute(
    const MapModel& model, CellMetrics cell, int32_t clientHeight, int32_t zoom)
{
    const int32_t digits = model.AddressDigits;
    MemorySizeGeometry g;
    g.addressX = 0;
    g.markerX = (digits + 1) * cell.charWidth;
    g.barLeft = (digits + 3) * cell.charWidth;
    g.barRight = (digits + 11) * cell.charWidth;
    g.textX = (digits + 12) * cell.charWidth;
    g.barTop = 2 * cell.lineHeight;
    g.barBottom = clampToInt(static_cast<int64_t>(zoom) * clientHeight - cell.lineHeight);
    g.rangeStart = model.RangeStart;
    g.rangeEnd = model.RangeEnd;
    return g;
}

namespace {

// The range's span as a divisor; an empty range is treated as one address wide.
double rangeSpan(uint32_t rangeStart, uint32_t rangeEnd)
{
    return rangeEnd > rangeStart ? static_cast<double>(rangeEnd - rangeStart) : 1.0;
}

} // namespace

double MemorySizeGeometry::pixelsPerAddress() const
{
    return barHeight() / rangeSpan(rangeStart, rangeEnd);
}

int32_t MemorySizeGeometry::y(uint64_t address) const
{
    const double offset = static_cast<double>(address) - static_cast<double>(rangeStart);
    const double exact = barTop + offset * barHeight() / rangeSpan(rangeStart, rangeEnd);
    return static_cast<int32_t>(std::clamp(exact, -kFarOff, kFarOff)); // truncation toward zero
}

uint32_t MemorySizeGeometry::addressAt(int32_t y) const
{
    if (barHeight() <= 0)
        return rangeStart;
    const double span = rangeEnd > rangeStart ? static_cast<double>(rangeEnd - rangeStart) : 0.0;
    const double exact = rangeStart + (static_cast<double>(y) - barTop) / barHeight() * span;
    const double held
        = std::clamp(exact, static_cast<double>(rangeStart), static_cast<double>(std::max(rangeStart, rangeEnd)));
    return static_cast<uint32_t>(held);
}

int32_t MemorySizeGeometry::markerY(uint32_t address, int32_t lineHeight) const
{
    if (address < rangeStart)
        return barTop - lineHeight / 2;
    if (address > rangeEnd)
        return barBottom + lineHeight / 2;
    return y(address);
}

namespace {

// The entries the memory-size picture draws run from the first of size not 0 that ends above
// RangeStart; after it, those of size 0 and those ending below RangeStart are passed over, and
// the first starting above RangeEnd ends the walk.
size_t firstDrawnEntry(const std::vector<SectionEntry>& table, uint64_t rangeStart)
{
    size_t first = 0;
    while (first < table.size() && (table[first].record->size == 0 || entryEnd(*table[first].record) <= rangeStart))
        ++first;
    return first;
}
bool passedOver(const IeSection& record, uint64_t rangeStart)
{
    return record.size == 0 || entryEnd(record) < rangeStart;
}

// An entry's band, rows top up to bottom (exclusive), and where it counts as starting for the
// end label.
struct Band {
    int32_t top = 0;
    int32_t bottom = 0;
    int32_t labelTop = 0;
};
Band bandOf(const MemorySizeGeometry& g, const IeSection& record)
{
    Band band;
    band.top = record.start < g.rangeStart ? g.barTop : g.y(record.start);
    band.bottom = entryEnd(record) >= g.rangeEnd ? g.barBottom : g.y(entryEnd(record));
    band.labelTop = band.top;
    // A band thinner than two pixels still shows two pixels from its top down; for the end
    // label it counts as starting at the bottom of those two.
    if (band.bottom < band.top + 2) {
        band.bottom = band.top + 2;
        band.labelTop = band.top + 2;
    }
    return band;
}

} // namespace

uint32_t MemorySizeJumpAddress(const MapModel& model, const MemorySizeGeometry& g, int32_t y)
{
    const auto& table = model.SectionTable;
    const IeSection* onTop = nullptr;
    for (size_t i = firstDrawnEntry(table, g.rangeStart); i < table.size(); ++i) {
        const IeSection& record = *table[i].record;
        if (passedOver(record, g.rangeStart))
            continue;
        if (record.start > g.rangeEnd)
            break;
        const Band band = bandOf(g, record);
        if (y < band.top || y >= band.bottom)
            continue;
        // Sections are painted over free areas, each over those before it in the table.
        if (record.name != nullptr || onTop == nullptr || onTop->name == nullptr)
            onTop = &record;
    }
    return onTop ? onTop->start : g.addressAt(y);
}

ScrollSizes MemorySizeScrollSizes(
    const MapModel& model, CellMetrics cell, int32_t zoom, int32_t clientWidth, int32_t clientHeight)
{
    ScrollSizes s;
    s.width = (SectionNameMax(model) + 2 * model.AddressDigits + 15) * cell.charWidth;
    s.height = clampToInt(static_cast<int64_t>(zoom) * clientHeight);
    s.pageWidth = clientWidth;
    s.pageHeight = clientHeight;
    s.lineWidth = clientWidth / 10;
    s.lineHeight = clientHeight / 10;
    return s;
}

MemorySizePicture BuildMemorySizePicture(
    const MapModel& model, CellMetrics cell, int32_t clientHeight, int32_t zoom, int32_t markerY, PictureClip clip)
{
    const int32_t digits = model.AddressDigits;
    const int32_t lineHeight = cell.lineHeight;
    MemorySizePicture picture;
    MemorySizeGeometry& g = picture.geometry;
    g = MemorySizeGeometry::Compute(model, cell, clientHeight, zoom);
    picture.header = { 0, 0, digits == 8 ? "  Address" : "Address" };
    picture.mapHeader = { g.barLeft, 0, "Map" };
    picture.sectionHeader = { g.textX, 0, "Section(size)" };
    picture.frame = { g.barLeft, g.barTop, g.barRight, g.barBottom };
    picture.marker = { g.markerX, markerY - lineHeight / 2, ">>" };

    const auto& table = model.SectionTable;
    const size_t count = table.size();
    const uint64_t rangeStart = g.rangeStart;
    const uint64_t rangeEnd = g.rangeEnd;

    // The first entry that reaches into the range.
    const size_t first = firstDrawnEntry(table, rangeStart);
    // RangeStart is written at the bar top unless the first band is too short to leave room.
    if (first == count
        || static_cast<double>(entryEnd(*table[first].record) - rangeStart) * g.pixelsPerAddress() > lineHeight) {
        picture.startLabel = PictureText { 0, g.barTop, FormatAddress(digits, g.rangeStart) };
    }

    int64_t lastLabelY = 0; // the header row
    int64_t lastLabelLength = 0;
    bool anyLabel = false;
    bool lastGotLabel = false;
    bool walked = false;
    int32_t lastBandTop = 0;
    for (size_t i = first; i < count; ++i) {
        const IeSection& record = *table[i].record;
        if (passedOver(record, rangeStart))
            continue;
        if (record.start > rangeEnd)
            break;
        walked = true;
        const int32_t y = g.y(record.start);
        const Band band = bandOf(g, record);

        if (y >= lastLabelY + lineHeight) {
            std::string address = FormatAddress(digits, record.start);
            if (clip.touches(y, y + lineHeight))
                picture.addressLabels.push_back({ 0, y, address });
            if (record.name) {
                std::string text = " " + std::string(record.name) + formatHex("(%06x)", "(%08x)", digits, record.size);
                lastLabelLength = static_cast<int64_t>(text.size());
                if (clip.touches(y, y + lineHeight))
                    picture.nameLabels.push_back({ g.textX, y, std::move(text) });
            } else if (band.bottom - band.top >= lineHeight) {
                std::string text = " free" + formatHex("(%06x)", "(%08x)", digits, record.size);
                lastLabelLength = static_cast<int64_t>(text.size());
                if (clip.touches(y, y + lineHeight))
                    picture.freeLabels.push_back({ g.textX, y, std::move(text) });
            } else {
                lastLabelLength = static_cast<int64_t>(address.size());
            }
            lastLabelY = y;
            lastGotLabel = true;
            anyLabel = true;
        } else {
            lastGotLabel = false;
            if (i + 1 != count && record.name && anyLabel) {
                const int32_t x = clampToInt(g.textX + lastLabelLength * cell.charWidth);
                const int32_t atY = static_cast<int32_t>(lastLabelY);
                const bool repeated
                    = !picture.ellipses.empty() && picture.ellipses.back().x == x && picture.ellipses.back().y == atY;
                if (!repeated && clip.touches(atY, atY + lineHeight))
                    picture.ellipses.push_back({ x, atY, "..." });
            }
        }

        lastBandTop = band.labelTop;
        if (clip.touches(band.top, band.bottom))
            picture.bands.push_back(
                { &record, static_cast<int32_t>(i), { g.barLeft, band.top, g.barRight, band.bottom } });
    }

    // The end label gives way, as the others do, to a label less than a line above it, so it never
    // writes over one.
    const bool crowded = g.barBottom < lastLabelY + lineHeight;
    if (!(walked && lastGotLabel && g.barBottom - lastBandTop <= lineHeight) && !crowded)
        picture.endLabel = PictureText { 0, g.barBottom, FormatAddress(digits, g.rangeEnd) };
    return picture;
}

// ---------------------------------------------------------------------------------------------
// Hover.

std::optional<std::size_t> SectionEntryAt(const MapModel& model, uint32_t address)
{
    const auto& table = model.SectionTable;
    auto it = std::partition_point(
        table.begin(), table.end(), [address](const SectionEntry& e) { return e.record->start <= address; });
    // Entries of size 0 hold no address; the one before them may.
    while (it != table.begin() && std::prev(it)->record->size == 0)
        --it;
    if (it == table.begin() || entryEnd(*std::prev(it)->record) <= address)
        return std::nullopt;
    return static_cast<std::size_t>(std::prev(it) - table.begin());
}

std::vector<int32_t> SectionListRowEntries(const MapModel& model)
{
    std::vector<int32_t> rows;
    for (std::size_t i = 0; i < model.SectionTable.size(); ++i)
        if (model.SectionTable[i].record->size != 0)
            rows.push_back(static_cast<int32_t>(i));
    return rows;
}

std::string HoverText(const MapModel& model, uint32_t address, std::optional<std::size_t> entry)
{
    const int32_t digits = model.AddressDigits;
    std::string text = "Address" + FormatAddress(digits, address);
    if (!entry || *entry >= model.SectionTable.size())
        return text;
    const IeSection& record = *model.SectionTable[*entry].record;
    const std::string where = FormatAddressAndSize(digits, record.start, record.size);
    if (!record.name)
        return text + ": free" + where;
    const std::string tag = GetSectionTag(&record).text;
    return text + ": " + (tag == "   " ? std::string() : tag + " ") + record.name + where;
}

// ---------------------------------------------------------------------------------------------
// Zoom.

ZoomCommandState ZoomState(const MapModel& model, int32_t zoom, int32_t lineHeight, int32_t barBottom)
{
    const bool memorySize = model.FileLoaded && model.ImageMode == MemorySizeImage;
    ZoomCommandState state;
    state.zoomInEnabled = memorySize && ZoomedIn(zoom, lineHeight, barBottom) != zoom;
    state.zoomOutEnabled = memorySize && zoom != 1;
    return state;
}

int32_t ZoomedIn(int32_t zoom, int32_t lineHeight, int32_t barBottom)
{
    // The cap only matters for a client area of no height, where the limit is never reached.
    if (!ZoomInAllowed(lineHeight, barBottom) || zoom > (kZoomLimit + 1) / 2)
        return zoom;
    return zoom * 2;
}

int32_t ZoomedOut(int32_t zoom)
{
    return zoom > 1 ? zoom / 2 : zoom;
}

} // namespace tessaly
