// TraceMessage: one formatted line for whoever is watching the hardware path.
// Each deliverable links its own copy (the libraries' copy goes to the trace viewer
// window when one runs, the program's copy to the debugger output only).
#pragma once

// The system's advapi32 exports an unrelated TraceMessage (event tracing). Ours links
// under a name of its own, so no link order can ever bind a caller to the other one.
#define TraceMessage VelotuneTraceMessage

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
