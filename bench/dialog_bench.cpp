// Times the two waits a user feels, next to the fixed waits of the hardware brackets
// they contain (400 ms each): start -> main dialog shown (card check, card identity,
// start-up reading, stored pair applied: 4 brackets) and OK -> keep-clock question
// shown (the pair applied: 1 bracket). dialog_bench [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "busprobe.h"
#include "dialog_driver.h"
#include "registry_helpers.h"
#include "simscenario.h"

namespace {

const int kBracketMs = 400;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

// One bracket as the program runs it, measured here in the same prefix: what the
// driver service costs beyond its fixed waits is the hardware path's, not the dialog's.
double BracketMs() {
    std::vector<double> v;
    for (int i = 0; i < 3; ++i) {
        double t = Now();
        zykOpen_PCI();
        ATIAGP_Check();
        zykClose_PCI();
        v.push_back(Now() - t);
    }
    return Median(v);
}

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::vector<double> open, ask;
    dlgdrv::Folder folder("bench");
    for (int i = 0; i < runs; ++i) {
        sim::DefaultScenario();
        regtest::DeleteZykTree();
        double t0 = Now();
        dlgdrv::Program program(folder);
        HWND dialog = nullptr;
        dlgdrv::WaitUntil([&] { return (dialog = program.Find("Zyk Velotune V1.0a", "#32770")) != nullptr; }, 60);
        double t1 = Now();
        if (!dialog) return 1;
        dlgdrv::MoveSlider(dialog, dlgdrv::kSliderEngine, 400);
        double t2 = Now();
        dlgdrv::Click(dialog, dlgdrv::kOk);
        HWND question = nullptr;
        dlgdrv::WaitUntil([&] { return (question = program.Find("Confirmation", "#32770")) != nullptr; }, 60);
        double t3 = Now();
        if (!question) return 1;
        dlgdrv::PressButton(question, IDCANCEL);
        dlgdrv::WaitUntil([&] { return !IsWindow(dialog); }, 30);
        program.Close();
        open.push_back(t1 - t0);
        ask.push_back(t3 - t2);
    }
    regtest::DeleteZykTree();
    sim::DefaultScenario();
    double b = BracketMs();
    double o = Median(open), a = Median(ask);
    std::printf("median of %d runs        measured   bracket waits  ratio   brackets as measured  rest\n", runs);
    std::printf("start -> dialog shown  %7.0f ms  %4d x %3d ms   %.2f   %4d x %3.0f ms        %4.0f ms\n", o, 4,
                kBracketMs, o / (4 * kBracketMs), 4, b, o - 4 * b);
    std::printf("OK -> question shown   %7.0f ms  %4d x %3d ms   %.2f   %4d x %3.0f ms        %4.0f ms\n", a, 1,
                kBracketMs, a / kBracketMs, 1, b, a - b);
    std::printf("(rest: process start, windows and everything else outside the brackets)\n");
    return 0;
}
