// A private copy of busprobe.dll (fresh recorded state for each test), bound by its
// import table to the portgate.dll beside the test program.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "debug_output.h"
#include "gate_copy.h"

struct ProbeCopy : DllCopy {
    ProbeCopy();
    int (*zykOpen_PCI)();
    int (*zykClose_PCI)();
    int (*ATIAGP_Check)();
    int (*ATIAGP_GetSSID)();
    double (*ATIAGP_GetGPUClock)();
    double (*ATIAGP_GetMemClock)();
    int (*ATIAGP_SetGPUClock)(int);
    int (*ATIAGP_SetMemClock)(int);
    unsigned long (*zykClockFaults)();

    // Runs one hardware operation inside a bracket, as the program does.
    template <typename F>
    auto Bracket(F operation)
    {
        zykOpen_PCI();
        auto result = operation();
        zykClose_PCI();
        return result;
    }

    // The trace of one call alone, inside an open bracket.
    template <typename F>
    std::vector<std::string> TraceInBracket(DebugOutputCapture& trace, F call)
    {
        zykOpen_PCI();
        trace.Clear();
        call();
        std::vector<std::string> lines = trace.Texts();
        zykClose_PCI();
        return lines;
    }
};
