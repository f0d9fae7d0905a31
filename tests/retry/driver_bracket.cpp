// A small driver test for the suite's retry (retry_test.sh runs it through cmake/hw-retry):
// brackets on the simulated GenPort1; each must open and close, and the driver's stop
// must run to its end (the driver counts its finished stops in the scenario store).
//   driver_bracket [brackets]   fails when one of these does not hold
//   driver_bracket --wrong      fails at an ordinary assertion (a clock it expects wrongly)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "busprobe.h"
#include "simscenario.h"

int main(int argc, char** argv)
{
    bool wrong = argc > 1 && !std::strcmp(argv[1], "--wrong");
    int brackets = argc > 1 && !wrong ? std::atoi(argv[1]) : 1;
    // The scenario's devices only: a StopRace value the caller set stays.
    sim::DefaultScenario();
    for (int i = 1; i <= brackets; i++) {
        DWORD stops = sim::FinishedStops();
        if (!zykOpen_PCI()) {
            std::printf("bracket %d: zykOpen_PCI answered 0\n", i);
            return 1;
        }
        int found = ATIAGP_Check();
        int clock = int(ATIAGP_GetGPUClock());  // 360.5 MHz in the default scenario
        if (!zykClose_PCI()) {
            std::printf("bracket %d: zykClose_PCI answered 0\n", i);
            return 1;
        }
        if (sim::FinishedStops() != stops + 1) {
            std::printf("bracket %d: the driver's stop did not run to its end\n", i);
            return 1;
        }
        int expected = wrong ? 361 : 360;
        if (!found || clock != expected) {
            std::printf("bracket %d: card found %d, engine clock %d MHz, expected %d MHz\n", i,
                        found, clock, expected);
            return 1;
        }
    }
    std::printf("%d brackets closed\n", brackets);
    return 0;
}
