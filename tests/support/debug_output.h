// Records what this process writes to the debugger output (OutputDebugStringA), by
// watching for the exception through which the system hands the text to a debugger.
#pragma once
#include <string>
#include <vector>

class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    // Each captured string exactly as written (the trace lines keep their "\r\n").
    std::vector<std::string> Lines() const;
    // The same with the trailing "\r\n" removed: easier to compare with a trace script.
    std::vector<std::string> Texts() const;
    void Clear();
};
