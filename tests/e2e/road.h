// The Windows a started tunedeck.exe is shown, and so the road its port access takes.
//   ""       the prefix's own version (NT family): the GenPort1 driver road
//   "win98"  the 95 family (Wine's per-program version): portgate executes the port
//            instructions itself; the port emulator, loaded into the program's own
//            process before it runs, serves them from the simulated card
//   "nt40", "winxp"  the NT family as those versions: the driver road again
// A test program takes it from "--road=<version>" (e2emain).
#pragma once
#include <windows.h>

#include <string>

namespace e2e {

void SetRoad(const std::string& version);
const std::string& Road();
// The 95-family road: no driver at all.
bool DirectRoad();

// CreateProcess of 'exe' on the road: the program's version set for its start (and
// taken away again by ForgetRoad once it runs), the emulator loaded into it first on
// the direct road. False (with a test failure) when it could not be started.
bool StartOnRoad(const std::string& exe, std::string commandLine, const std::string& directory,
                 PROCESS_INFORMATION* pi);
// Takes the version setting away again, so later programs of the prefix are not
// affected; a running program keeps the version it started with.
void ForgetRoad(const std::string& exe);

}  // namespace e2e
