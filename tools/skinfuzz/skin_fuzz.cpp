// Skin fuzz run on the real program (tools/skinfuzz/skin_fuzz.sh runs it).
//   skin_fuzz [count] [seed]
// Each round writes one randomly mutated file into a private copy of the shipped
// folder (the skin file, or one of the bitmaps it names; every other file as
// shipped) and opens the main dialog on it: the first round and every round after the
// program has ended start tunedeck.exe (which opens the dialog by itself), the others
// reopen the dialog of the running program through its Option command. The program
// reads the skin afresh at every opening, so each round is one full opening on its own
// mutated file. Outcomes per round:
//   opened   the dialog came up (it is closed again with Cancel)
//   message  "Setting file not found." (each box answered; the program exits with -1)
//   refused  the program ended without either
//   crashed  it ended with any other exit code, or a window of the debugger came up
//   hung     none of the above within 30 seconds of an Option command sent a second
//            time (then it is killed)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bmp_corpus.h"
#include "dialog_driver.h"
#include "registry_helpers.h"
#include "simscenario.h"

namespace {

const char* kTitle = "Zyk Velotune V1.0a";

std::string MutateIni(const std::string& text, std::mt19937& rng) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start + (end < text.size() ? 1 : 0)));
        start = end + 1;
    }
    static const char* values[] = {"-1", "0", "-100000", "100000", "2147483647", "-2147483648",
                                   "99999999999", "abc", "", "/", "\xA5\x5C\xAF\xE0.bmp",
                                   "C:\\nowhere\\x.bmp", "skin\\mask.bmp", "skin\\face_usa.bmp"};
    auto pick = [&rng](size_t n) { return n ? (size_t)(rng() % n) : 0; };
    for (int r = 0, rounds = 1 + (int)pick(3); r < rounds && !lines.empty(); ++r) {
        size_t i = pick(lines.size());
        switch (pick(7)) {
        case 0: lines.erase(lines.begin() + i); break;
        case 1: {
            size_t eq = lines[i].find('=');
            if (eq != std::string::npos) lines[i] = lines[i].substr(0, eq + 1) + values[pick(14)] + "\r\n";
            break;
        }
        case 2: lines.insert(lines.begin() + pick(lines.size()), lines[i]); break;
        case 3: {
            size_t eq = lines[i].find('=');
            if (eq != std::string::npos) lines[i] = lines[i].substr(0, eq + 1) + std::string(1 + pick(400), 'A' + (char)pick(26)) + "\r\n";
            break;
        }
        case 4: lines[i] = corpus::Mutate(lines[i], rng); break;
        case 5: std::swap(lines[i], lines[pick(lines.size())]); break;
        default: lines.resize(i); break;  // cut short
        }
    }
    std::string out;
    for (const std::string& l : lines) out += l;
    return out;
}

struct Fuzzer {
    dlgdrv::Folder folder{"fuzz"};
    std::unique_ptr<dlgdrv::Program> program;
    std::map<std::string, int> counts;
    std::vector<std::string> failures;

    // One opening on the files as they are now; returns the outcome.
    std::string Round() {
        if (!program || !program->Running()) {
            program.reset(new dlgdrv::Program(folder));
        } else {
            program->Command(ID_OPTION);
        }
        HWND dialog = nullptr, box = nullptr;
        bool debugger = false;
        auto answered = [&] {
            dialog = program->Find(kTitle, "#32770");
            box = program->Find("error", "#32770");
            debugger = FindWindowA(nullptr, "Program Error") != nullptr;
            return dialog || box || debugger || !program->Running();
        };
        bool seen = dlgdrv::WaitUntil(answered, 10);
        if (!seen && program->Running()) {
            // An Option command that arrives while the last dialog's loop is still
            // winding down is ignored, as a second Option during a dialog is; a program
            // that answers neither this one nor a second is hung.
            program->Command(ID_OPTION);
            seen = dlgdrv::WaitUntil(answered, 20);
        }
        if (debugger) return "crashed";
        if (!seen) return "hung";
        if (dialog) {
            dlgdrv::PressButton(dialog, IDCANCEL);
            if (!dlgdrv::WaitUntil([&] { return !IsWindow(dialog) || !program->Running(); }, 30)) return "hung";
            return program->Running() ? "opened" : Ended(false);
        }
        if (box) {
            for (int i = 0; i < 12 && box; ++i) {
                dlgdrv::PressButton(box, IDOK);
                dlgdrv::WaitUntil([&] { return !IsWindow(box); }, 5);
                box = nullptr;
                dlgdrv::WaitUntil([&] { return (box = program->Find("error", "#32770")) != nullptr || !program->Running(); }, 2);
            }
            return Ended(true);
        }
        return Ended(false);
    }

    std::string Ended(bool afterMessage) {
        int code = 0;
        if (!program->WaitExit(30, &code)) return "hung";
        if (code == -1 && afterMessage) return "message";
        if (code == -1 || code == 0) return "refused";
        char text[64];
        snprintf(text, sizeof text, "crashed (exit 0x%X)", (unsigned)code);
        return text;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? atoi(argv[1]) : 1000;
    const unsigned seed = argc > 2 ? (unsigned)strtoul(argv[2], nullptr, 10) : 20261207u;
    std::mt19937 rng(seed);
    sim::DefaultScenario();
    regtest::DeleteZykTree();

    Fuzzer f;
    const bool chinese = GetSystemDefaultLangID() == 0x0404;
    const std::string ini = chinese ? "Config_CHT.INI" : "Config_USA.INI";
    const char* suffix = chinese ? "cht" : "usa";
    std::vector<std::string> files = {ini, "skin\\mask.bmp", "skin\\thumb_h.bmp", "skin\\channel_h.bmp"};
    for (const char* b : {"face", "ok", "save", "test"}) files.push_back(std::string("skin\\") + b + "_" + suffix + ".bmp");
    std::map<std::string, std::string> shipped;
    for (const std::string& file : files) shipped[file] = f.folder.Read(file.c_str());
    const auto corpusEntries = corpus::Bitmaps(40, 24);

    const DWORD t0 = GetTickCount();
    for (int i = 0; i < count; ++i) {
        const std::string& target = files[rng() % files.size()];
        std::string bytes;
        if (target == ini) {
            bytes = MutateIni(shipped[target], rng);
        } else if (rng() % 4 == 0) {
            bytes = corpus::Mutate(corpusEntries[rng() % corpusEntries.size()].bytes, rng);
        } else {
            bytes = corpus::Mutate(shipped[target], rng);
        }
        f.folder.Write(target.c_str(), bytes);
        std::string outcome = f.Round();
        if (outcome.compare(0, 7, "crashed") == 0 || outcome == "hung") {
            // Keep the file that did it.
            char name[64];
            snprintf(name, sizeof name, "failure_%04d.bin", i);
            f.folder.Write(name, bytes);
            f.failures.push_back(std::to_string(i) + " " + target + ": " + outcome + " (" + name + ")");
            printf("round %d, %s: %s\n", i, target.c_str(), outcome.c_str());
            if (f.program) f.program->Kill();
            outcome = outcome.substr(0, 7);
        }
        ++f.counts[outcome];
        f.folder.Write(target.c_str(), shipped[target]);
        if ((i + 1) % 100 == 0)
            printf("%5d rounds  %6.0f s  opened %d  message %d  refused %d  crashed %d  hung %d\n", i + 1,
                   (GetTickCount() - t0) / 1000.0, f.counts["opened"], f.counts["message"], f.counts["refused"],
                   f.counts["crashed"], f.counts["hung"]);
        fflush(stdout);
    }
    if (f.program && f.program->Running()) f.program->Close();
    printf("seed %u, %d rounds in %.0f s: opened %d, message %d, refused %d, crashed %d, hung %d\n", seed, count,
           (GetTickCount() - t0) / 1000.0, f.counts["opened"], f.counts["message"], f.counts["refused"],
           f.counts["crashed"], f.counts["hung"]);
    for (const std::string& s : f.failures) printf("  %s\n", s.c_str());
    regtest::DeleteZykTree();
    return f.failures.empty() ? 0 : 1;
}
