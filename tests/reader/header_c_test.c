/* header_c_test.c: the public header compiles as C11 and links against the library. */
#include "orvik.h"

#include <stddef.h>
#include <stdio.h>

/* The named constants are part of the ABI: their values never change. */
_Static_assert(IE_READ_VIEWER == 0x89F, "the viewer's mask");
_Static_assert(IE_READ_DEBUG_PART == 0x0038 && IE_READ_ENVIRONMENT_PART == 0xFFC0, "the part groups");
_Static_assert((IE_READ_EXTERNALS | IE_READ_SECTIONS | IE_READ_NO_RECORDS | IE_READ_ASM_BLOCKS | IE_READ_ASM_BLOCKS_ALT
                   | IE_READ_TYPE_BLOCKS | IE_READ_TYPE_REFS | IE_READ_ENVIRONMENT | IE_READ_SOURCE_VA_REFS
                   | IE_READ_VARIABLES | IE_READ_SOURCE_FN_REFS | IE_READ_FUNCTIONS | IE_READ_SECTION_USES
                   | IE_READ_STACK_INFO | IE_READ_FUNCTION_VA_REFS | IE_READ_FUNCTION_FN_REFS)
        == IE_READ_ALL,
    "sixteen selection bits");
_Static_assert(IE_ERROR_CANT_OPEN == 1 && IE_ERROR_READ == 3 && IE_ERROR_NO_MEMORY == 5 && IE_ERROR_STACK_INFO == 10,
    "the error codes");
_Static_assert(IE_KIND_LABEL == 15 && IE_KIND_EQU == 17, "the symbol kinds");
_Static_assert(IE_SECTION_ASD == 0xC1D3C4 && IE_SECTION_ASP == 0xC1D3D0 && IE_SECTION_ASR == 0xC1D3D2
        && IE_SECTION_CD == 0xC3C4 && IE_SECTION_CP == 0xC3D0 && IE_SECTION_CR == 0xC3D2,
    "the section types");

int main(void)
{
    IeRoot* root = IE_getRoot();
    IeTypeDef type = { 0 };
    IeHashLink link = { { NULL }, NULL };
    if (root == NULL || root->modules != NULL || type.payload.any != NULL || link.next != NULL) {
        fprintf(stderr, "unexpected initial state\n");
        return 1;
    }
    if (IE_freeIEEE() != 0)
        return 1;
    puts("header compiles as C");
    return 0;
}
