/* The C library functions the core's code needs that NT 4's kernel is not
 * known to export (memchr, memcmp, strlen), kept in the image so they are not
 * imported. memcpy, memset and memmove come from ntoskrnl.exe, which
 * exports them on every NT version. Built with -ffreestanding so the loops
 * stay loops instead of calls to themselves. */
#include <stddef.h>

void *memchr(const void *s, int c, size_t n)
{
    const unsigned char *p = (const unsigned char *)s;
    for (; n != 0; ++p, --n)
        if (*p == (unsigned char)c) return (void *)p;
    return NULL;
}

int memcmp(const void *a, const void *b, size_t n)
{
    const unsigned char *x = (const unsigned char *)a, *y = (const unsigned char *)b;
    for (; n != 0; ++x, ++y, --n)
        if (*x != *y) return *x < *y ? -1 : 1;
    return 0;
}

size_t strlen(const char *s)
{
    const char *p = s;
    while (*p != 0) ++p;
    return (size_t)(p - s);
}
