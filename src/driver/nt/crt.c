/* The C library functions the core's code and GCC's structure copies need,
 * kept in the image so the driver imports none of them from the kernel
 * (whose C library exports NT 4's DDK reference does not list). Built with
 * -ffreestanding and without loop-pattern distribution so the loops stay
 * loops instead of calls to themselves. */
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

void *memcpy(void *to, const void *from, size_t n)
{
    unsigned char *d = (unsigned char *)to;
    const unsigned char *f = (const unsigned char *)from;
    for (; n != 0; --n) *d++ = *f++;
    return to;
}

void *memset(void *to, int c, size_t n)
{
    unsigned char *d = (unsigned char *)to;
    for (; n != 0; --n) *d++ = (unsigned char)c;
    return to;
}

void *memmove(void *to, const void *from, size_t n)
{
    unsigned char *d = (unsigned char *)to;
    const unsigned char *f = (const unsigned char *)from;
    if (d < f)
        for (; n != 0; --n) *d++ = *f++;
    else
        while (n != 0) --n, d[n] = f[n];
    return to;
}
