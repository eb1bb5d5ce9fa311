/* orvik.h: the symbol tree records and the IE_ functions of the orvik reader (C11 and C++). */
#ifndef ORVIK_H
#define ORVIK_H

#include <stdint.h>

/* On Windows the library's own sources (ORVIK_BUILDING) export the functions from orvik.dll,
 * programs import them, and code linked with the library's objects directly (ORVIK_STATIC)
 * does neither. */
#if defined(_WIN32) && defined(ORVIK_BUILDING)
#define ORVIK_API __declspec(dllexport)
#elif defined(_WIN32) && defined(ORVIK_STATIC)
#define ORVIK_API
#elif defined(_WIN32)
#define ORVIK_API __declspec(dllimport)
#elif defined(__GNUC__)
#define ORVIK_API __attribute__((visibility("default")))
#else
#define ORVIK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Every list is singly linked through `next`, keeps file order and ends with NULL.
 * Every child carries an owner pointer back to its parent. Records are zero-filled
 * when created, so fields that no input fills read as NULL or 0. */

typedef struct IeRoot IeRoot;
typedef struct IeModule IeModule;
typedef struct IeSection IeSection;
typedef struct IeModSection IeModSection;
typedef struct IeSymbol IeSymbol;
typedef struct IeModSymbol IeModSymbol;
typedef struct IeSource IeSource;
typedef struct IeFnDef IeFnDef;
typedef struct IeVaDef IeVaDef;
typedef struct IeFnRef IeFnRef;
typedef struct IeVaRef IeVaRef;
typedef struct IeTypeRef IeTypeRef;
typedef struct IeSecUse IeSecUse;
typedef struct IeStackInfo IeStackInfo;
typedef struct IeStackValue IeStackValue;
typedef struct IeStackItem IeStackItem;
typedef struct IeTypeDef IeTypeDef;
typedef struct IeEnumType IeEnumType;
typedef struct IeEnumItem IeEnumItem;
typedef struct IePointerType IePointerType;
typedef struct IeRecordType IeRecordType;
typedef struct IeRecordMember IeRecordMember;
typedef struct IeAliasType IeAliasType;
typedef struct IeArrayType IeArrayType;
typedef struct IeBitFieldType IeBitFieldType;
typedef struct IeFunctionType IeFunctionType;
typedef struct IeFunctionParam IeFunctionParam;
typedef struct IeHashLink IeHashLink;

struct IeRoot {
    const char* cpuName; /* processor name of the module header; never NULL after a successful read */
    const char* moduleName; /* module name of the module header */
    const char* revision; /* "Rev.N" once a file has been opened */
    const char* version; /* "V.2.10.00" once a file has been opened */
    IeModule* modules;
    IeSection* sections;
    IeSymbol* symbols;
    int32_t reserved;
};

struct IeModule {
    const char* name;
    IeSource* sources;
    IeTypeDef* typeDefs;
    IeModSection* sections;
    IeModSymbol* symbols;
    IeModule* next;
    IeTypeRef* typeRefs;
};

struct IeSection {
    int32_t index;
    const char* name;
    int32_t type; /* type letters packed big-endian: 0xC1D3C4 is "ASD"; 0 for other combinations */
    int32_t alignment;
    uint32_t size;
    uint32_t start;
    IeSection* next;
    IeRoot* owner;
};

/* kind 15 is a label (an address), 17 an absolute value such as an .EQU constant */
struct IeSymbol {
    const char* name;
    int32_t kind;
    int32_t attribute;
    int32_t extra;
    uint32_t value;
    IeSymbol* next;
    IeRoot* owner;
};

struct IeModSection {
    int32_t kind;
    int32_t sectionIndex;
    uint32_t start;
    uint32_t size;
    IeSection* section; /* the section with sectionIndex, or NULL */
    IeModSection* next;
    IeModule* owner;
};

/* value is the sixth field here and the fifth in IeSymbol */
struct IeModSymbol {
    const char* name;
    int32_t kind;
    int32_t attribute;
    int32_t extra1;
    int32_t extra2;
    uint32_t value;
    IeModSymbol* next;
    IeModule* owner;
};

struct IeSource {
    const char* name;
    IeSecUse* sectionUses;
    IeFnDef* functions;
    IeFnRef* fnRefs;
    IeVaDef* variables;
    IeVaRef* vaRefs;
    IeSource* next;
    IeModule* owner;
};

struct IeFnDef {
    int32_t number;
    const char* name;
    const char* linkName;
    int32_t scope; /* 'G' global or 'S' static */
    int32_t info1;
    int32_t info2;
    int32_t info3;
    int32_t info4;
    int32_t endInfo;
    uint32_t size;
    int32_t resolved; /* 1 when address holds the value of the symbol named linkName */
    uint32_t address;
    IeTypeRef* typeRef;
    IeStackInfo* stackInfo;
    IeFnRef* fnRefs;
    IeVaRef* vaRefs;
    IeFnDef* next;
    IeSource* owner;
};

struct IeVaDef {
    const char* name;
    const char* linkName;
    int32_t scope; /* 'G' global, 'S' static, 'L' local static */
    int32_t info1;
    int32_t info2;
    int32_t info3;
    int32_t info4;
    int32_t info5;
    int32_t resolved;
    uint32_t address;
    const char* function; /* for scope 'L': the function current when the record was read */
    IeTypeRef* typeRef;
    IeVaDef* next;
    IeSource* owner;
};

/* the owner of a reference: the source file (kinds Fp, Ve) or the function (kinds Fr, Vr) */
typedef union IeRefOwner {
    IeSource* source;
    IeFnDef* function;
} IeRefOwner;

struct IeFnRef {
    const char* name;
    const char* name2;
    int32_t letter;
    int32_t info1;
    int32_t info2;
    int32_t info3;
    int32_t info4;
    IeTypeRef* typeRef;
    IeFnRef* next;
    IeRefOwner owner;
};

struct IeVaRef {
    const char* name;
    int32_t letter;
    int32_t info1;
    int32_t info2;
    int32_t info3;
    int32_t info4;
    int32_t info5;
    IeTypeRef* typeRef;
    IeVaRef* next;
    IeRefOwner owner;
};

struct IeTypeRef {
    int32_t kind; /* 'F' for a function's type, 'V' for a variable's */
    const char* name;
    int32_t letter;
    int32_t typeIndex;
    const char* function; /* for letter 'L': the function current when the record was read */
    IeTypeDef* typeDef; /* the module's type definition numbered typeIndex (256 and above) */
    IeTypeRef* next;
    IeModule* owner;
};

struct IeSecUse {
    int32_t subKind;
    const char* sectionName;
    const char* name2;
    int32_t letter;
    int32_t resolved; /* 1 when a part of the owning module belongs to sectionName */
    uint32_t start;
    uint32_t size;
    IeSecUse* next;
    IeSource* owner;
};

struct IeStackValue {
    int32_t value;
};

struct IeStackItem {
    const char* name;
    const char* name2;
    int32_t letter;
    int32_t info1;
    int32_t info2;
};

struct IeStackInfo {
    int32_t subKind; /* 'p' with a value; 'c' or 's' with an item */
    union {
        IeStackValue* value;
        IeStackItem* item;
    } payload;
    IeStackInfo* next;
    IeFnDef* owner;
};

/* Type payloads. A resolved field holds the module's IeTypeDef of that number, or NULL for
 * a built-in number (below 256) or a number no definition has. */

struct IeEnumItem { /* 'N' */
    const char* name;
    int32_t value;
    IeEnumItem* next;
};

struct IeEnumType { /* 'N' */
    const char* name;
    IeEnumItem* items;
    int32_t reserved;
};

struct IePointerType { /* 'O', 'P' */
    int32_t target;
    IeTypeDef* resolvedTarget;
    int32_t reserved;
};

struct IeRecordMember { /* 'S', 'U' */
    const char* name;
    int32_t type;
    int32_t offset;
    IeTypeDef* resolvedType;
    IeRecordMember* next;
    int32_t reserved;
};

struct IeRecordType { /* 'S', 'U' */
    const char* name;
    int32_t size;
    IeRecordMember* members;
    int32_t reserved;
};

struct IeAliasType { /* 'T' */
    const char* name;
    int32_t type;
    IeTypeDef* resolvedType;
    int32_t reserved;
};

struct IeArrayType { /* 'Z' */
    int32_t elementType;
    int32_t bound;
    IeTypeDef* resolvedElement;
    int32_t reserved;
};

struct IeBitFieldType { /* 'g' */
    int32_t info1;
    int32_t info2;
    int32_t baseType;
    IeTypeDef* resolvedBase;
};

struct IeFunctionParam { /* 'x' */
    int32_t type;
    IeTypeDef* resolvedType;
    IeFunctionParam* next;
    int32_t reserved;
};

struct IeFunctionType { /* 'x' */
    int32_t returnType;
    uint32_t paramCount;
    IeTypeDef* resolvedReturn;
    IeFunctionParam* params;
    int32_t reserved;
};

struct IeTypeDef {
    int32_t index; /* 256 and above; lower numbers are built-in types */
    int32_t letter;
    union { /* chosen by letter; NULL for 'v' and unknown letters */
        void* any;
        IeEnumType* enumeration;
        IePointerType* pointer;
        IeRecordType* record;
        IeAliasType* alias;
        IeArrayType* array;
        IeBitFieldType* bitField;
        IeFunctionType* function;
    } payload;
    IeTypeDef* next;
    IeModule* owner;
};

struct IeHashLink {
    union {
        IeFnDef* function;
        IeVaDef* variable;
    } item; /* NULL in an empty slot */
    IeHashLink* next;
};

/* Mask bit above the 16 selection bits: read IEEE-695 files of other producers tolerantly
 * (three-byte AD, parts in any order, unknown records and blocks passed over); relocatable
 * files are still refused. The framed format ignores it. */
#define IE_READ_TOLERANT 0x10000

/* Reading, errors and release. IE_readIEEE returns 0 or an error code 1..10.
 * The path is handed to the C library's fopen as it stands: bytes on POSIX systems, and on
 * Windows a name in the process's ANSI code page (UTF-8 for a program whose manifest asks for
 * it, as orvik-dump's does); IE_readError's message repeats it in the same bytes. */
ORVIK_API int IE_readIEEE(const char* path, int mask);
ORVIK_API const char* IE_readError(int code);
ORVIK_API int IE_freeIEEE(void);
ORVIK_API IeRoot* IE_getRoot(void);

/* Walks: mode 1 from the first element, mode 2 the next; other modes return NULL. */
ORVIK_API IeModule* IE_getModMode(int mode);
ORVIK_API IeSection* IE_getSecMode(int mode);
ORVIK_API IeSymbol* IE_getSymMode(int mode);
ORVIK_API IeModSection* IE_getModSecMode(int mode);
ORVIK_API IeModSymbol* IE_getModSymFi(int mode);
ORVIK_API IeSource* IE_getSrcSrcMode(const char* source, int mode);
ORVIK_API IeFnDef* IE_getFnDefMode(const char* name, int mode);
ORVIK_API IeVaDef* IE_getVaDefMode(const char* name, int mode);

/* Lookups by name. Module and source names compare folded (A-Z as a-z), others exactly. */
ORVIK_API IeModule* IE_getModName(const char* name);
ORVIK_API IeSection* IE_getSecName(const char* name);
ORVIK_API IeSymbol* IE_getSymName(const char* name);
ORVIK_API IeSource* IE_getSrcSrcMod(const char* source, const char* module);
ORVIK_API IeFnDef* IE_getFnDef(const char* name, const char* source);
ORVIK_API IeVaDef* IE_getVaDef(const char* name, const char* source, int scope, const char* function);
ORVIK_API IeModSection* IE_getModSecFpi(const char* module);
ORVIK_API IeModSymbol* IE_getModSymFpi(const char* module);
ORVIK_API IeModSection* IE_getModSecFip(int index, const char* module);
ORVIK_API IeModSection* IE_getModSecFp(const char* section, const char* module);

#ifdef __cplusplus
}
#endif

#endif /* ORVIK_H */
