// right_select.hpp: the right pane's picked row: the hit test of a click, Copy and the row's tool tip.
#pragma once

namespace tessaly {

class CFriendRightView;

// Copy (the framework's copy command), enabled while a row is picked.
void InstallSelectCommands(CFriendRightView& view);

} // namespace tessaly
