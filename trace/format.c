#include "format.h"
#include "trace.h"
#include <stdio.h>
#include <string.h>

size_t trace_format_line(char* buf, const char* format, va_list args)
{
    const size_t room = TRACE_BUFFER_SIZE - 2;  // keep two bytes for "\r\n"
    int n = vsnprintf(buf, room, format, args);
    size_t len = n < 0 ? 0 : (size_t)n;
    if (len > room - 1) len = room - 1;
    buf[len] = '\0';
    memcpy(buf + len, "\r\n", 3);
    return len + 2;
}
