// The program's TraceMessage: always to the debugger output.
#include <windows.h>
#include "format.h"
#include "trace.h"

static char line[TRACE_BUFFER_SIZE];

int TraceMessage(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    trace_format_line(line, format, args);
    va_end(args);
    OutputDebugStringA(line);
    return 1;
}
