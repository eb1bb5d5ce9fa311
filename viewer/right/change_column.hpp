// change_column.hpp: the list's change column while comparing with a baseline: its width, texts and the removed items.
#pragma once

#include "build_baseline.hpp"
#include "map_model.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaly {

// How a change text reads: a block that grew or is new, one that shrank or is gone, or an item's move.
enum class ChangeTone : uint8_t { None, Grown, Shrunk, Item };

struct ChangeText {
    std::string text; // UTF-8: the minus is U+2212
    ChangeTone tone = ChangeTone::None;
};

// A row of the column holds up to three texts side by side, each at a fixed place, so that a
// block's first row shows its size difference beside its first label's and function's move.
inline constexpr int32_t kChangeBlockChars = 12; // "−0xffffffff" and a blank
// Characters from the column's left edge to the label's and the function's text.
int32_t ChangeLabelIndent();
int32_t ChangeFunctionIndent(int32_t addressDigits);
// The column's width in characters for the model's options; 0 unless comparing.
int32_t ChangeColumnChars(const MapModel& model);

// A block's size difference: "+0x1a2", "−0x10", "new"; nothing for one whose size stayed.
ChangeText BlockChangeText(const MapModel& model, int32_t block);
// A label's or function's: "moved from 001234" (the old address in the file's digits) or "new".
ChangeText LabelChangeText(const MapModel& model, int32_t label);
ChangeText FunctionChangeText(const MapModel& model, int32_t function);

// The baseline's items the shown file lacks, listed after the last block under a "(gone)" line
// as the list's options would show them; indexes into the baseline's vectors, in its order.
struct GoneRows {
    int32_t firstLine = -1; // the "(gone)" line, the items on the lines after it; -1: nothing gone
    std::vector<int32_t> blocks; // sections, or module sections with local information
    std::vector<int32_t> labels; // global ones, and local ones with local information
    std::vector<int32_t> equs; // while the .EQU list is shown
    std::vector<int32_t> functions; // while the function list is shown
    int32_t lineCount() const;
};
// The removed items for the model's options, from line firstLine on.
GoneRows ListGoneRows(const MapModel& model, int32_t firstLine);

// The name widths the list's columns are laid out with, on the screen and on paper: the shown
// file's, widened while comparing so that the names of the "(gone)" rows fit their columns too.
std::array<int32_t, NameWidthCount> ListNameWidths(const MapModel& model);

// The texts of the gone rows, as the list writes the items of the shown file.
inline constexpr const char* kGoneTitle = "(gone)";
inline constexpr const char* kGoneBlock = "gone";
void AppendGoneAddress(std::string& out, const MapModel& model, int32_t block);
void AppendGoneSection(std::string& out, const MapModel& model, int32_t block);
void AppendGoneSymbol(
    std::string& out, const MapModel& model, const std::vector<SnapshotSymbol>& symbols, int32_t index);
void AppendGoneFunction(std::string& out, const MapModel& model, int32_t function);

} // namespace tessaly
