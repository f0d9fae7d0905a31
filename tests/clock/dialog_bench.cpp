// Times the two waits a user feels, next to the fixed waits of the hardware brackets
// they contain (400 ms each): start -> main dialog shown (card check, card identity,
// start-up reading, stored pair applied: 4 brackets) and OK -> keep-clock question
// shown (the pair applied: 1 bracket). dialog_bench [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

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
        dlgdrv::Answer(question, IDCANCEL);
        dlgdrv::WaitUntil([&] { return !IsWindow(dialog); }, 30);
        program.Close();
        open.push_back(t1 - t0);
        ask.push_back(t3 - t2);
    }
    regtest::DeleteZykTree();
    double o = Median(open), a = Median(ask);
    std::printf("median of %d runs            measured  bracket waits  ratio\n", runs);
    std::printf("start -> dialog shown      %7.0f ms    %7d ms    %.2f\n", o, 4 * kBracketMs, o / (4 * kBracketMs));
    std::printf("OK -> question shown       %7.0f ms    %7d ms    %.2f\n", a, kBracketMs, a / kBracketMs);
    return 0;
}
