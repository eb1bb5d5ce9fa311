// framed_types.hpp: type descriptions of the framed-record format and their linking per module.
#pragma once

#include "first_definitions.hpp"
#include "framed_records.hpp"
#include "keyed_hash.hpp"
#include "orvik.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace orvik {

constexpr int32_t kNumberedType = 0x10000; // numbers a definition, member or parameter gives
constexpr int32_t kAnonymousType = 0x1000000; // pointers, array dimensions, void: counted per read
constexpr int32_t kVoidType = 1;

// What a module's types need for linking, kept so that selecting a module again costs only
// the records added since its last link.
struct ModuleTypeLinks {
    std::vector<IeTypeDef*> newDefs;
    std::vector<IeTypeRef*> newRefs;
    FirstDefinitions firstByIndex;
    keyed::NumberMap<int32_t, std::vector<IeTypeDef**>> waitingFields;
    keyed::NumberMap<int32_t, std::vector<IeTypeRef*>> waitingRefs;
};

// Links the module's new type references to its definitions by number, then resolves the
// numbers inside the new definitions. Fields that name a number not yet defined are filled
// when a later link defines it, so each field ends with the module's first definition.
void linkModuleTypes(ModuleTypeLinks& links);

// The outcome of a description: its first constructor, or, when it built none, the base
// type number.
struct TypeResult {
    IeTypeDef* first = nullptr;
    int32_t number = 0;
    int32_t index() const { return first ? first->index : number; }
};

// The type number of a base type; nullopt for a code outside the table.
std::optional<int32_t> baseTypeNumber(uint8_t code, uint32_t size, uint8_t flags, uint16_t named);

class FramedTypes {
public:
    explicit FramedTypes(FramedRecords& records)
        : m_records(records)
    {
    }

    void setModule(IeModule* module, ModuleTypeLinks* links)
    {
        m_module = module;
        m_links = links;
    }

    // The records that follow the current one, up to the description's 0xB6 record.
    // ownNumber (0 for none) numbers the first enumeration, structure, union or function
    // type built; name names enumerations and structures.
    TypeResult description(const char* name, int32_t ownNumber, bool asUnion);
    // The description of a function definition or reference: return base type, pointer
    // levels, parameters; its first constructor is always the function type.
    TypeResult functionDescription(const char* name, int32_t ownNumber);

    // Appends a definition of that letter, with its payload, to the current module.
    IeTypeDef* newType(char letter, int32_t index);
    int32_t anonymousNumber() { return kAnonymousType + m_counter++; }

private:
    // Where a constructor's element goes: the next constructor, or the base number at the end.
    struct ElementSlot {
        int32_t* number = nullptr;
        IeTypeDef** record = nullptr;
    };
    struct Chain {
        IeTypeDef* first = nullptr;
        ElementSlot pending;
        void add(IeTypeDef* type, ElementSlot slot);
    };

    // The base type at the start of the current record; size and flags for the caller.
    int32_t baseType(uint32_t* size = nullptr, uint8_t* flags = nullptr);
    int32_t takeOwn(int32_t& ownNumber) { return ownNumber ? std::exchange(ownNumber, 0) : anonymousNumber(); }

    void arrayDimensions(Chain& chain);
    void enumeration(Chain& chain, const char* name, int32_t& ownNumber);
    void record(Chain& chain, const char* name, int32_t& ownNumber, bool asUnion, uint32_t size);
    void member(IeRecordType* record, IeRecordMember*& tail, const char* name);
    IeTypeDef* functionType(int32_t& ownNumber);
    void parameters(IeFunctionType* function, const char* name);
    void finish(Chain& chain, int32_t base);
    // Nested descriptions recurse; a bound keeps a hostile file from exhausting the stack.
    void enter();
    void leave() { --m_nesting; }

    FramedRecords& m_records;
    IeModule* m_module = nullptr;
    ModuleTypeLinks* m_links = nullptr;
    int32_t m_counter = 0;
    int m_nesting = 0;
};

} // namespace orvik
