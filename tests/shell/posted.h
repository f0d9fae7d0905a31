// Messages posted to a window of the test's own thread and not yet handled.
#pragma once
#include <windows.h>

#include <vector>

// Takes them off the queue (paints and timers left out), oldest first.
std::vector<MSG> TakePosted(HWND window);
