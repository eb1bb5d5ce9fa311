// decoders.hpp: the two file decoders and the passes that run after them.
#pragma once

#include "ieee695_policy.hpp"

namespace orvik {

// Each decodes the open input (positioned at offset 0) into the tree, raising ReadFault. The
// IEEE-695 policy is strict, or tolerant of other producers (mask bit IE_READ_TOLERANT).
void decodeIeee695(Ieee695Policy policy);
void decodeFramed();

// Linking after a successful IEEE-695 decode: section uses, then addresses.
void resolveSectionUses();
void resolveAddresses();

} // namespace orvik
