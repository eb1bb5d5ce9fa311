// find_state.hpp: the search of Find over the map tables: position, direction, the Up reversal and cut, kinds.
#pragma once

#include "map_model.hpp"

#include <cstdint>
#include <string>

namespace tessaly {

// What the Find dialog asks for.
enum SearchKind : int32_t {
    SearchLabel = 0,
    SearchSection = 1,
    SearchFunction = 2,
    SearchEqu = 3,
};

enum SearchDirection : int32_t {
    SearchDown = 0,
    SearchUp = 1,
};

// Names are searched in working copies of at most this many characters.
inline constexpr int32_t kFindNameLimit = 1024;

struct FindRequest {
    std::string text; // name bytes, the typed text read back through the names' mapping
    bool matchCase = true;
    bool wildCard = false;
    int32_t direction = SearchDown;
    int32_t kind = SearchLabel;
    // False when the typed text holds a character no name byte stands for: it matches no name.
    bool representable = true;
};

// The right pane's find state: the search position (entry, offset) and the last match.
struct FindState {
    int32_t foundLine = 0; // list line of the last match; 0 while there is none
    int32_t foundOffset = -1; // -1: before the first character
    int32_t foundLength = 0;
    int32_t foundKind = SearchLabel;
    int32_t foundEntry = 0;
    // Which section table foundEntry indexes, so that a relayout can tell whether it still
    // refers to the listed table.
    bool foundInModuleTable = false;

    // The start of the list: entry 0, before its first character, no match.
    void restart()
    {
        foundLine = 0;
        foundOffset = -1;
        foundEntry = 0;
    }
};

enum class FindOutcome {
    Ignored, // empty text, or a kind that searches nothing
    Found,
    CantFind, // no further match: the state is unchanged
};

// The flag word MatchText gets for a request.
int MatchFlagsFor(const FindRequest& request);

// One Find Next over the model's tables, whose rows must be numbered for the current options.
// Labels and blocks without a row (line below 1) are passed over: the list could not show them.
FindOutcome FindNext(const MapModel& model, FindState& state, const FindRequest& request);

// The top line after a match: unchanged while the matched line is within the page shown
// (topLine to topLine + page), else the matched line.
int32_t TopLineForMatch(int32_t foundLine, int32_t topLine, int32_t page);

// After the rows have been numbered again: the highlight follows the matched name to its new
// line; when the name has no row any more, or the listed table changed, the search starts again
// at the start of the list.
void FollowRelayout(const MapModel& model, FindState& state, bool tablesChanged);

} // namespace tessaly
