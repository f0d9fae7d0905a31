// The libraries' TraceMessage: to the trace viewer window if one runs, else to the
// debugger output.
#include <windows.h>
#include "format.h"
#include "trace.h"

static char line[TRACE_BUFFER_SIZE];

int TraceMessage(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    size_t len = trace_format_line(line, format, args);
    va_end(args);

    HWND viewer = FindWindowA(TRACE_WINDOW_CLASS, NULL);
    if (viewer) {
        COPYDATASTRUCT record;
        record.dwData = TRACE_COPYDATA_WORD;
        record.cbData = (DWORD)len;
        record.lpData = line;
        SendMessageA(viewer, WM_COPYDATA, 0, (LPARAM)&record);
    } else {
        OutputDebugStringA(line);
    }
    return 1;
}
