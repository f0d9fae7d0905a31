// Shared by both copies of TraceMessage: formatting into the static line buffer.
#pragma once
#include <stdarg.h>
#include <stddef.h>

// Formats into buf (TRACE_BUFFER_SIZE bytes) and appends "\r\n"; returns the length
// without the NUL. A line too long for the buffer is cut so that "\r\n" still fits.
size_t trace_format_line(char* buf, const char* format, va_list args);
