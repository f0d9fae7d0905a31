// The 95-family road for a test program: Wine reports Windows 98 to a program whose
// AppDefaults version is win98, so a program started as the NT family starts itself
// again that way and hands on the result.
#pragma once

// Returns -1 in a program that already runs as the 95 family; otherwise starts this
// program again as Windows 98 and returns its exit code (2 when it could not start).
int RestartAsWindows98();
