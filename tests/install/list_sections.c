/* list_sections.c: a C program built against an installed orvik; prints the sections of a file. */
#include <orvik.h>
#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fputs("usage: list-sections FILE\n", stderr);
        return 64;
    }
    const int code = IE_readIEEE(argv[1], 0x89F);
    if (code != 0) {
        fputs(IE_readError(code), stderr);
        return 2;
    }
    for (const IeSection* section = IE_getRoot()->sections; section; section = section->next)
        printf("%08x %08x %s\n", (unsigned)section->start, (unsigned)section->size, section->name);
    return IE_freeIEEE() == 0 ? 0 : 1;
}
