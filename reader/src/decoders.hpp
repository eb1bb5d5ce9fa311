// decoders.hpp: the two file decoders and the passes that run after them.
#pragma once

namespace orvik {

// Each decodes the open input (positioned at offset 0) into the tree, raising ReadFault.
void decodeIeee695();
// The same for files of other producers (mask bit IE_READ_TOLERANT).
void decodeIeee695Tolerant();
void decodeFramed();

// Linking after a successful IEEE-695 decode: section uses, then addresses.
void resolveSectionUses();
void resolveAddresses();

} // namespace orvik
