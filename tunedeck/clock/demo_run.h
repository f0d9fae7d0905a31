// The Test button's demonstration run: Orbview.exe from the program's own folder, in
// the top-left quarter of the screen, for at most five seconds.
#pragma once
#include <windows.h>

#define DEMO_PROGRAM_NAME "Orbview.exe"
#define DEMO_RUN_MS 5000

// The command line that starts the demonstration program beside `modulePath` (a full
// program path): the path cut at its last backslash, then "\Orbview.exe", in double
// quotes so that a folder name with blanks cannot start another program. False when
// the path has no backslash or the result does not fit in `size` bytes.
bool DemoCommandLine(const char* modulePath, char* out, size_t size);

// Starts `commandLine` (see DemoCommandLine) with its window at (0, 0) and half the
// screen's width and height, waits for it to end for at most `waitMs`, then
// terminates it with code 0 in any case and closes the thread handle, then the
// process handle. Returns false, having done nothing more, when it could not start.
bool RunDemoProgram(const char* commandLine, DWORD waitMs = DEMO_RUN_MS);

// DemoCommandLine for the running program. False when its path does not fit in
// MAX_PATH (a cut path would name another folder) or the command line does not fit.
bool OwnDemoCommandLine(char* out, size_t size);
