// TraceMessage: one formatted line for whoever is watching the hardware path.
// Each deliverable links its own copy (the libraries' copy goes to the trace viewer
// window when one runs, the program's copy to the debugger output only).
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// printf-style; the line gets "\r\n" appended. Always returns 1.
int TraceMessage(const char* format, ...);

#ifdef __cplusplus
}
#endif

// What the viewer receives: WM_COPYDATA with this data word ("twin" in memory order).
#define TRACE_COPYDATA_WORD 0x6E697774u
#define TRACE_WINDOW_CLASS "VevTraceWindow"
// Buffer size including "\r\n" and the NUL; longer lines are cut, keeping "\r\n".
#define TRACE_BUFFER_SIZE 500
