/* snprintf and vsnprintf with the C99 contract (always terminated, the full length
 * returned) over msvcrt's _vsnprintf, which leaves a cut text unterminated and returns
 * -1. The MinGW headers route the two names to __mingw_* in C++ and __ms_* in C; both
 * pairs are defined here, so no formatting code of MinGW's own is linked. */
#include <windows.h>
#include <stdarg.h>

/* msvcrt's; declared here rather than through stdio.h, whose declarations of the names
 * below carry attributes of MinGW's own implementation. */
int __cdecl _vsnprintf(char* buffer, size_t size, const char* format, va_list args);

/* The length the whole text needs: formatted into ever larger scratch buffers. */
static int MeasuredLength(const char* format, va_list args)
{
    size_t size = 512;
    for (;;) {
        char* scratch = (char*)HeapAlloc(GetProcessHeap(), 0, size);
        va_list copy;
        int n;
        if (!scratch) return -1;
        va_copy(copy, args);
        n = _vsnprintf(scratch, size, format, copy);
        va_end(copy);
        HeapFree(GetProcessHeap(), 0, scratch);
        if (n >= 0 && (size_t)n < size) return n;
        if (size > 0x4000000) return -1;
        size *= 2;
    }
}

static int FormatC99(char* buffer, size_t size, const char* format, va_list args)
{
    int n = -1;
    if (size) {
        va_list copy;
        va_copy(copy, args);
        n = _vsnprintf(buffer, size, format, copy);
        va_end(copy);
    }
    if (n >= 0 && (size_t)n < size) return n;
    if (size) buffer[size - 1] = '\0';
    return MeasuredLength(format, args);
}

int __cdecl __mingw_vsnprintf(char* buffer, size_t size, const char* format, va_list args)
{
    return FormatC99(buffer, size, format, args);
}

int __cdecl __mingw_snprintf(char* buffer, size_t size, const char* format, ...)
{
    va_list args;
    int n;
    va_start(args, format);
    n = FormatC99(buffer, size, format, args);
    va_end(args);
    return n;
}

/* The names C code is routed to: the same two functions. */
int __cdecl __ms_vsnprintf(char* buffer, size_t size, const char* format, va_list args)
    __attribute__((alias("__mingw_vsnprintf")));
int __cdecl __ms_snprintf(char* buffer, size_t size, const char* format, ...)
    __attribute__((alias("__mingw_snprintf")));
