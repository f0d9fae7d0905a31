// What one hardware bracket costs on the NT road (zykOpen_PCI, one getter,
// zykClose_PCI), next to the 400 ms of waits the driver handling fixes
// (three 100 ms waits to open, one to close).
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <vector>
#include "busprobe.h"
#include "simscenario.h"

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? atoi(argv[1]) : 10;
    sim::DefaultScenario();
    zykOpen_PCI();
    ATIAGP_Check();
    zykClose_PCI();

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    for (int i = 0; i < rounds; i++) {
        QueryPerformanceCounter(&start);
        zykOpen_PCI();
        volatile double clock = ATIAGP_GetGPUClock();
        (void)clock;
        zykClose_PCI();
        QueryPerformanceCounter(&end);
        ms.push_back(1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    std::sort(ms.begin(), ms.end());
    double mean = 0;
    for (double m : ms) mean += m;
    mean /= ms.size();
    const double waits = 400.0;
    printf("bracket (zykOpen_PCI + ATIAGP_GetGPUClock + zykClose_PCI), %d rounds\n", rounds);
    printf("  fixed waits      %8.1f ms\n", waits);
    printf("  median           %8.1f ms  (%.2f x the waits)\n", ms[ms.size() / 2], ms[ms.size() / 2] / waits);
    printf("  mean             %8.1f ms  (%.2f x the waits)\n", mean, mean / waits);
    printf("  min / max        %8.1f / %.1f ms\n", ms.front(), ms.back());
    printf("  target           <= 1.25 x the waits (%.0f ms)\n", waits * 1.25);
    return 0;
}
