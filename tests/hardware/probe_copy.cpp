#include "probe_copy.h"
#include <gtest/gtest.h>
#include "gate_copy.h"

namespace {
// A folder of this process's with the shipped portgate.dll and the simulated driver,
// where each copy of busprobe.dll finds them as it would beside tunedeck.exe.
std::string ProbeFolder()
{
    std::string dir = TempFolder("velotune-probe\\" + std::to_string(GetCurrentProcessId()));
    for (const char* file : {"portgate.dll", "GenPort1.sys"})
        CopyFileA((ShippedDir() + file).c_str(), (dir + file).c_str(), FALSE);
    return dir;
}
}  // namespace

ProbeCopy::ProbeCopy() : DllCopy(ShippedDir() + "busprobe.dll", ProbeFolder(), "busprobe_copy")
{
    Bind(module, "zykOpen_PCI", zykOpen_PCI);
    Bind(module, "zykClose_PCI", zykClose_PCI);
    Bind(module, "ATIAGP_Check", ATIAGP_Check);
    Bind(module, "ATIAGP_GetSSID", ATIAGP_GetSSID);
    Bind(module, "ATIAGP_GetGPUClock", ATIAGP_GetGPUClock);
    Bind(module, "ATIAGP_GetMemClock", ATIAGP_GetMemClock);
    Bind(module, "ATIAGP_SetGPUClock", ATIAGP_SetGPUClock);
    Bind(module, "ATIAGP_SetMemClock", ATIAGP_SetMemClock);
    Bind(module, "zykClockFaults", zykClockFaults);
}
