// The single-instance counter in a shared, initialised data section of its own.
#include "instance.h"

// "shared" makes the section IMAGE_SCN_MEM_SHARED | READ | WRITE |
// CNT_INITIALIZED_DATA; the initial value must be in the image, so it is not zero.
__attribute__((section("Shared"), shared)) volatile LONG g_instanceCount = -1;
