#include "probe_copy.h"
#include <gtest/gtest.h>
#include "gate_copy.h"

// Beside the test program, so that its import of portgate.dll finds the one there.
ProbeCopy::ProbeCopy() : DllCopy(ProgramDir() + "busprobe.dll", ProgramDir(), "busprobe_copy")
{
    Bind(module, "zykOpen_PCI", zykOpen_PCI);
    Bind(module, "zykClose_PCI", zykClose_PCI);
    Bind(module, "ATIAGP_Check", ATIAGP_Check);
    Bind(module, "ATIAGP_GetSSID", ATIAGP_GetSSID);
    Bind(module, "ATIAGP_GetGPUClock", ATIAGP_GetGPUClock);
    Bind(module, "ATIAGP_GetMemClock", ATIAGP_GetMemClock);
    Bind(module, "ATIAGP_SetGPUClock", ATIAGP_SetGPUClock);
    Bind(module, "ATIAGP_SetMemClock", ATIAGP_SetMemClock);
}
