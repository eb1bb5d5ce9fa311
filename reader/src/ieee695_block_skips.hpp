// ieee695_block_skips.hpp: passing over the debug part's blocks that are not read.
#pragma once

#include "ieee695_items.hpp"
#include "ieee695_policy.hpp"

#include <cstdint>

namespace orvik {

class Ieee695BlockSkips : private Ieee695Items {
public:
    Ieee695BlockSkips(InputFile& in, Ieee695Policy policy)
        : Ieee695Items(in)
        , m_anyLayout(policy.allows(Ieee695Deviation::UnknownRecords))
    {
    }

    // Passes over a block whose type byte, at typeAt, has been read; returns the record code
    // after it. Strictly only a type-definition block (1), a block of type 2, and blocks of
    // types 3 and 5 with the nested types they allow are passed over, and anything else is a
    // fault; for other producers, any block and every block inside it, by their BB and BE.
    uint8_t skip(uint8_t type, uint32_t typeAt);

    // Whether a type-definition block's TY records have the layout the type reader knows,
    // judged by the first one: other producers put a record code where the type letter would
    // be, and reading those as types would only make up records. The input is left where it was.
    bool typeRecordsKnown();

private:
    uint8_t skipTypeBlock();
    uint8_t skipTypeBlockRecords(bool toTypeRecord);
    uint8_t skipNested(uint8_t outerType, uint32_t typeAt);
    uint8_t skipHeader(uint8_t type, uint32_t typeAt);

    bool m_anyLayout;
};

} // namespace orvik
