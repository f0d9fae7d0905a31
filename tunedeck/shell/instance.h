// The count of running copies of tunedeck.exe, shared by every process of the program.
#pragma once
#include <windows.h>

// Running instances minus one: -1 with none running. Lives alone in the image's
// shared section "Shared", so the system drops it (and a later start sees -1 again)
// once the last process of the program has ended, however it ended.
extern volatile LONG g_instanceCount;
