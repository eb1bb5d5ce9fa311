// right_find.hpp: the right pane's side of Find: its menu command and keeping the found line across relayouts.
#pragma once

namespace tessaly {

class CFriendRightView;

// The pane's own Find command (32780), enabled while a file is loaded.
void InstallFindCommand(CFriendRightView& view);

// After the rows have been numbered again: the highlight follows the matched name to its new
// line, or the search starts over when the name has no row any more or a new file came in.
void FollowFindAfterRelayout(CFriendRightView& view, bool tablesChanged);

} // namespace tessaly
