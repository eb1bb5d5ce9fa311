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
    int32_t type; /* an IE_SECTION_ code; 0 for other letter combinations */
    int32_t alignment;
    uint32_t size;
    uint32_t start;
    IeSection* next;
    IeRoot* owner;
};

/* kind IE_KIND_LABEL is a label (an address), IE_KIND_EQU an absolute value */
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

/* The selection mask of IE_readIEEE: which parts and record kinds a read takes in. */
#define IE_READ_EXTERNALS 0x0001 /* the external part: global symbols (IeSymbol) */
#define IE_READ_SECTIONS 0x0002 /* the section part (IeSection) */
#define IE_READ_NO_RECORDS 0x0004 /* selects nothing of its own; part of the viewer's mask */
#define IE_READ_ASM_BLOCKS 0x0008 /* debug part: assembler-module blocks (either of two bits) */
#define IE_READ_ASM_BLOCKS_ALT 0x0010
#define IE_READ_TYPE_BLOCKS 0x0020 /* debug part: type-definition blocks (IeTypeDef) */
#define IE_READ_TYPE_REFS 0x0040 /* debug strings Ft and Vt (IeTypeRef) */
#define IE_READ_ENVIRONMENT 0x0080 /* opens the environment part (debug string M) and nothing more */
#define IE_READ_SOURCE_VA_REFS 0x0100 /* debug string Ve (IeVaRef of a source file) */
#define IE_READ_VARIABLES 0x0200 /* debug string Vd (IeVaDef) */
#define IE_READ_SOURCE_FN_REFS 0x0400 /* debug string Fp (IeFnRef of a source file) */
#define IE_READ_FUNCTIONS 0x0800 /* debug strings Fs, Fd, Fe (IeFnDef) */
#define IE_READ_SECTION_USES 0x1000 /* debug string U (IeSecUse) */
#define IE_READ_STACK_INFO 0x2000 /* debug string S (IeStackInfo) */
#define IE_READ_FUNCTION_VA_REFS 0x4000 /* debug string Vr (IeVaRef of a function) */
#define IE_READ_FUNCTION_FN_REFS 0x8000 /* debug string Fr (IeFnRef of a function) */
#define IE_READ_ALL 0xFFFF

/* Any bit of a group makes the read visit that part at all. */
#define IE_READ_DEBUG_PART (IE_READ_ASM_BLOCKS | IE_READ_ASM_BLOCKS_ALT | IE_READ_TYPE_BLOCKS)
#define IE_READ_ENVIRONMENT_PART                                                                                       \
    (IE_READ_TYPE_REFS | IE_READ_ENVIRONMENT | IE_READ_SOURCE_VA_REFS | IE_READ_VARIABLES | IE_READ_SOURCE_FN_REFS     \
        | IE_READ_FUNCTIONS | IE_READ_SECTION_USES | IE_READ_STACK_INFO | IE_READ_FUNCTION_VA_REFS                     \
        | IE_READ_FUNCTION_FN_REFS)

/* The mask the viewer reads every file with (0x89F): sections, global symbols, assembler
 * blocks and C functions. */
#define IE_READ_VIEWER                                                                                                 \
    (IE_READ_EXTERNALS | IE_READ_SECTIONS | IE_READ_NO_RECORDS | IE_READ_ASM_BLOCKS | IE_READ_ASM_BLOCKS_ALT           \
        | IE_READ_ENVIRONMENT | IE_READ_FUNCTIONS)

/* Mask bit above the 16 selection bits: read IEEE-695 files of other producers tolerantly
 * (three-byte AD, parts in any order, unknown records and blocks passed over); relocatable
 * files are still refused. The framed format ignores it. */
#define IE_READ_TOLERANT 0x10000

/* What IE_readIEEE returns when a read fails; IE_readError gives each its text. */
enum {
    IE_ERROR_CANT_OPEN = 1, /* the file cannot be opened */
    IE_ERROR_FILE_END = 2, /* the file ends inside an item, or a read fault */
    IE_ERROR_READ = 3, /* a structural mismatch, or an unknown first byte */
    IE_ERROR_ILLEGAL_INFORMATION = 4, /* a debug string of an unknown kind */
    IE_ERROR_NO_MEMORY = 5, /* memory for the tree cannot be obtained */
    IE_ERROR_NO_MODULE_INFO = 6, /* a debug string needs a current source file */
    IE_ERROR_NO_FUNCTION_INFO = 7, /* a debug string needs a current function */
    IE_ERROR_FUNCTION_INFO = 8, /* a function debug string of an unknown sub-kind */
    IE_ERROR_VARIABLE_INFO = 9, /* a variable debug string of an unknown sub-kind */
    IE_ERROR_STACK_INFO = 10 /* a stack debug string of an unknown sub-kind */
};

/* IeSymbol.kind and IeModSymbol.kind as the viewer tells them apart. */
enum {
    IE_KIND_LABEL = 15, /* an address */
    IE_KIND_EQU = 17 /* an absolute value such as an .EQU constant */
};

/* IeSection.type: the type letters packed big-endian, each as its letter code (0xC1 'A'). */
enum {
    IE_SECTION_ASD = 0xC1D3C4,
    IE_SECTION_ASP = 0xC1D3D0,
    IE_SECTION_ASR = 0xC1D3D2,
    IE_SECTION_CD = 0xC3C4,
    IE_SECTION_CP = 0xC3D0,
    IE_SECTION_CR = 0xC3D2
};

/* Reading, errors and release. IE_readIEEE returns 0 or an IE_ERROR_ code.
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
