// ieee695_policy.hpp: where an IEEE-695 read may depart from the strict layout, for other producers' files.
#pragma once

namespace orvik {

// The ways in which absolute files of other producers differ from the strict layout. Strict
// reading allows none of them; tolerant reading (IE_READ_TOLERANT) allows them all.
enum class Ieee695Deviation : unsigned {
    // The AD record is read by its fields (bits per MAU, MAUs per address, an optional
    // address-order letter) rather than taken as four bytes, and the ASW records follow it.
    ShortAddressDescriptor,
    // A part whose ASW offset is 0 is not in the file.
    AbsentParts,
    // The records of a part come in any order: NN records anywhere in the environment part;
    // SA and AS records name their section, ATI and ASI records their symbol, by index. Such a
    // part ends at the next part, at ME, or at a byte that cannot start a record.
    RecordOrder,
    // ATN attributes, records and debug blocks of kinds not read here are passed over, and so
    // are type-definition blocks whose TY records have another layout; a module boundary or the
    // file's end inside a block is still a fault.
    UnknownRecords,
    // Records carry more fields than the strict layout: numbers after a section's name (the
    // third is its context), after a module section's start, and more attribute numbers; a
    // section name may use the long length forms; local symbols may sit inside module sections.
    TrailingFields,
    // A section without a size takes the hull of its module sections and of the bytes the data
    // part loads into it; a module section whose index names no section goes by its context.
    SizesFromContents,
    // Public and local names without a type (kind 0) are labels.
    UntypedLabels,
    // What only a relocatable file holds is refused at its record: a value given by an
    // expression, a section without an address, a public name without a value, and relocation in
    // the data part.
    AbsoluteOnly,
};

// The deviations one read allows; the decoder asks at each place where the readings differ.
class Ieee695Policy {
public:
    static constexpr Ieee695Policy strict() { return Ieee695Policy(0); }
    static constexpr Ieee695Policy tolerant() { return Ieee695Policy(~0u); }

    constexpr bool allows(Ieee695Deviation deviation) const
    {
        return (m_allowed >> static_cast<unsigned>(deviation)) & 1u;
    }

private:
    explicit constexpr Ieee695Policy(unsigned allowed)
        : m_allowed(allowed)
    {
    }

    unsigned m_allowed;
};

} // namespace orvik
