#include "probe_copy.h"
#include <gtest/gtest.h>
#include "gate_copy.h"

ProbeCopy::ProbeCopy()
{
    static int serial;
    dll = ProgramDir() + "busprobe_copy_" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(++serial) + ".dll";
    EXPECT_TRUE(CopyFileA((ProgramDir() + "busprobe.dll").c_str(), dll.c_str(), FALSE));
    module = LoadLibraryA(dll.c_str());
    EXPECT_NE(nullptr, module) << dll;
    Bind(module, "zykOpen_PCI", zykOpen_PCI);
    Bind(module, "zykClose_PCI", zykClose_PCI);
    Bind(module, "ATIAGP_Check", ATIAGP_Check);
    Bind(module, "ATIAGP_GetSSID", ATIAGP_GetSSID);
    Bind(module, "ATIAGP_GetGPUClock", ATIAGP_GetGPUClock);
    Bind(module, "ATIAGP_GetMemClock", ATIAGP_GetMemClock);
    Bind(module, "ATIAGP_SetGPUClock", ATIAGP_SetGPUClock);
    Bind(module, "ATIAGP_SetMemClock", ATIAGP_SetMemClock);
}

ProbeCopy::~ProbeCopy()
{
    if (module) FreeLibrary(module);
    DeleteFileA(dll.c_str());
}
