/* header_c_test.c: the public header compiles as C11 and links against the library. */
#include "orvik.h"

#include <stddef.h>
#include <stdio.h>

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
