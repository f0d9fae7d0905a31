// The real program on skins that users edit by hand: broken bitmaps in each role,
// missing keys, absurd coordinates, a 1 MB file, bitmap names in the code page of the
// system. Each run ends in one of the sound outcomes (the dialog opens, with a
// fallback where a picture is missing; or "Setting file not found." and exit -1),
// never in a crash or a hang.
#include <windows.h>

#include <commctrl.h>

#include <fstream>
#include <sstream>

#include "bmp_corpus.h"
#include "dialog_fixture.h"

namespace dlgtest {
namespace {

using namespace dlgdrv;

const char* SkinFile() { return e2e::ChineseRun() ? "Config_CHT.INI" : "Config_USA.INI"; }

// Replaces (or adds) key=value in a section of an INI text; value nullptr removes it.
std::string SetKey(const std::string& ini, const std::string& section, const std::string& key,
                   const char* value) {
    std::istringstream in(ini);
    std::ostringstream out;
    std::string line, current;
    bool done = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            if (current == section && !done && value) out << key << "=" << value << "\r\n";
            if (current == section) done = true;
            current = line.substr(1, line.find(']') - 1);
        } else if (current == section && line.compare(0, key.size() + 1, key + "=") == 0) {
            if (value) out << key << "=" << value << "\r\n";
            done = true;
            continue;
        }
        out << line << "\r\n";
    }
    if (!done && value) out << "[" << section << "]\r\n" << key << "=" << value << "\r\n";
    return out.str();
}

class BadSkin : public DialogScenario {
protected:
    void SetUp() override {
        DialogScenario::SetUp();
        StorePair(kCurrent, 360, 360);
        StorePair(kDefault, 360, 360);
        Prepare();
        original_ = folder_->Read(SkinFile());
    }

    // Opens the dialog (starting the program when it does not run) and returns it, or
    // nullptr when a message box came instead.
    HWND OpenDialog() {
        if (!program_ || !program_->Running()) {
            program_.reset(new dlgdrv::Program(*folder_));
        } else {
            program_->Command(ID_OPTION);
        }
        HWND dialog = nullptr, box = nullptr;
        WaitUntil([&] {
            dialog = program_->Find(kTitle, "#32770");
            box = program_->Find("error", "#32770");
            return dialog || box || !program_->Running();
        }, 30);
        return dialog;
    }

    // Closes an open dialog with Cancel; the program stays in the tray.
    bool CloseDialog(HWND dialog) {
        PressButton(dialog, IDCANCEL);
        return WaitUntil([&] { return !IsWindow(dialog); }) && program_->Running();
    }

    // Presses OK on every "Setting file not found." box; the program then exits with -1.
    void ExpectMissingMessageAndExit() {
        HWND box = program_->WaitFor("error", "#32770", 30);
        ASSERT_TRUE(box);
        int boxes = 0;
        while (box) {
            std::string text;
            WaitUntil([&] { return !(text = StaticText(box)).empty() || !IsWindow(box); });
            if (!IsWindow(box)) break;
            EXPECT_EQ("Setting file not found.", text);
            PressButton(box, IDOK);
            WaitUntil([&] { return !IsWindow(box); });
            ++boxes;
            // The next box, or the exit: however long the program takes to show it.
            box = nullptr;
            if (boxes < 10)
                WaitUntil([&] { return (box = program_->Find("error", "#32770")) || !program_->Running(); });
        }
        int code = 0;
        ASSERT_TRUE(program_->WaitExit(15, &code));
        EXPECT_EQ(-1, code);
        EXPECT_EQ(nullptr, program_->Find(kTitle, "#32770"));
    }

    static bool HasRegion(HWND dialog) {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        int type = GetWindowRgn(dialog, r);
        DeleteObject(r);
        return type != ERROR;
    }

    std::string original_;
};

// Every corpus file as the mask (the outline follows exactly the sound ones), and the
// broken ones as face, OK-button strip, slider thumb and slider channel.
TEST_F(BadSkin, BrokenBitmapsInEveryRoleOpenTheDialogWithTheirFallback) {
    struct Role {
        const char* file;
        bool all;  // the sound files too
    } roles[] = {{"skin\\mask.bmp", true},
                 {e2e::ChineseRun() ? "skin\\face_cht.bmp" : "skin\\face_usa.bmp", false},
                 {e2e::ChineseRun() ? "skin\\ok_cht.bmp" : "skin\\ok_usa.bmp", false},
                 {"skin\\thumb_h.bmp", false},
                 {"skin\\channel_h.bmp", false}};
    const auto entries = corpus::Bitmaps(40, 24);
    for (const Role& role : roles) {
        const std::string saved = folder_->Read(role.file);
        for (const corpus::Entry& e : entries) {
            if (!role.all && e.expect == corpus::Expect::Picture) continue;
            SCOPED_TRACE(std::string(role.file) + " <- " + e.name);
            folder_->Write(role.file, e.bytes);
            HWND dialog = OpenDialog();
            ASSERT_TRUE(dialog) << "no dialog";
            if (role.all && e.expect == corpus::Expect::Picture) {
                EXPECT_TRUE(HasRegion(dialog));
            }
            if (role.all && e.expect == corpus::Expect::NoPicture) {
                EXPECT_FALSE(HasRegion(dialog));
            }
            ASSERT_TRUE(CloseDialog(dialog));
        }
        folder_->Write(role.file, saved);
    }
    EXPECT_EQ("360/360", Pair(kCurrent));
}

TEST_F(BadSkin, MissingKeysGiveTheMessageWhereTheyAreTestedAndFallbacksElsewhere) {
    // Tested keys: the message, then exit -1.
    for (auto key : {std::make_pair("gslider1", "position_x"), std::make_pair("gslider", "thumb_v"),
                     std::make_pair("gslider", "channel_h")}) {
        SCOPED_TRACE(std::string(key.first) + "." + key.second);
        folder_->Write(SkinFile(), SetKey(original_, key.first, key.second, nullptr));
        program_.reset(new dlgdrv::Program(*folder_));
        ExpectMissingMessageAndExit();
    }
    // Every other key: the dialog opens with the key's fallback.
    for (auto key : {std::make_pair("main", "windows_mask"), std::make_pair("main", "windows_name"),
                     std::make_pair("gbutton3", "buttonname"), std::make_pair("gbutton1", "width"),
                     std::make_pair("gslider2", "position_x"), std::make_pair("statictext1", "position_y"),
                     std::make_pair("modelname", "position_x1"), std::make_pair("combobox1", "length"),
                     std::make_pair("color", "red"), std::make_pair("table", "a12")}) {
        SCOPED_TRACE(std::string(key.first) + "." + key.second);
        folder_->Write(SkinFile(), SetKey(original_, key.first, key.second, nullptr));
        HWND dialog = OpenDialog();
        ASSERT_TRUE(dialog);
        if (std::string(key.second) == "windows_mask") {
            EXPECT_FALSE(HasRegion(dialog)) << "rectangular";
        }
        ASSERT_TRUE(CloseDialog(dialog));
    }
    // Without its [table] entry the card's pairs were written under the "/" model; the
    // listed model's pair is untouched.
    EXPECT_EQ("360/360", Pair(kCurrent));
    EXPECT_NE("/", Pair("SOFTWARE\\ZYK\\ZYK_OC\\current\\/")) << "both values written";
}

TEST_F(BadSkin, NegativeAndHugeCoordinatesOpenTheDialogInReasonableTime) {
    const char* sections[] = {"gslider1", "gslider2", "gbutton1", "gbutton2", "gbutton3", "gbutton4",
                              "gbutton5", "statictext1", "statictext2", "combobox1"};
    for (const char* value : {"-100000", "100000", "2147483647", "-2147483648", "0", "99999999999", "x"}) {
        SCOPED_TRACE(value);
        std::string ini = original_;
        for (const char* s : sections)
            for (const char* k : {"position_x", "position_y", "width", "height", "length"})
                // The engine slider's x stays: -1 there means "no skin file".
                if (!(std::string(s) == "gslider1" && std::string(k) == "position_x"))
                    ini = SetKey(ini, s, k, value);
        ini = SetKey(ini, "modelname", "position_x", value);
        ini = SetKey(ini, "modelname", "position_y1", value);
        folder_->Write(SkinFile(), ini);
        const DWORD t0 = GetTickCount();
        HWND dialog = OpenDialog();
        ASSERT_TRUE(dialog);
        // Paint a few times (slider moves repaint the bar) and close again.
        SendMessageA(GetDlgItem(dialog, kSliderEngine), TBM_SETPOS, TRUE, 380);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ASSERT_TRUE(CloseDialog(dialog));
        EXPECT_LT(GetTickCount() - t0, 20000u);
    }
}

TEST_F(BadSkin, AOneMegabyteSkinFileIsReadLikeASmallOne) {
    std::string big = original_;
    std::string filler;
    for (int i = 0; filler.size() < 1024 * 1024; ++i)
        filler += "; padding line " + std::to_string(i) + " of a skin edited by hand\r\n[unused" +
                  std::to_string(i) + "]\r\nkey=" + std::string(40, 'v') + "\r\n";
    folder_->Write(SkinFile(), filler + big);
    ASSERT_GE(folder_->Read(SkinFile()).size(), 1024u * 1024u);
    const DWORD t0 = GetTickCount();
    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(HasRegion(dialog)) << "the keys after 1 MB of other sections are found";
    EXPECT_EQ(SliderMax(dialog, kSliderEngine), 432);
    ASSERT_TRUE(CloseDialog(dialog));
    EXPECT_LT(GetTickCount() - t0, 30000u);
}

TEST_F(BadSkin, BitmapNamesInTheAnsiCodePageAreFound) {
    if (e2e::ChineseRun()) GTEST_SKIP() << "the Chinese run uses Big5 names";
    // "skin\façade masque.bmp" in code page 1252.
    const std::string name = "skin\\fa\xE7" "ade masque.bmp";
    ASSERT_TRUE(CopyFileA((folder_->path + "\\skin\\mask.bmp").c_str(), (folder_->path + "\\" + name).c_str(), FALSE));
    folder_->Write(SkinFile(), SetKey(original_, "main", "windows_mask", name.c_str()));
    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(HasRegion(dialog));
    ASSERT_TRUE(CloseDialog(dialog));
}

using ChineseBadSkin = ChineseScenario<BadSkin>;

TEST_F(ChineseBadSkin, BitmapNamesInBig5AreFound) {
    // "skin\功能外形.bmp" and "skin\確定.bmp" in Big5; the trail byte of 功 is 0x5C, a
    // backslash in ASCII.
    const std::string mask = "skin\\\xA5\x5C\xAF\xE0\xA5\x7E\xA7\xCE.bmp";
    const std::string ok = "skin\\\xBD\x54\xA9\x77.bmp";
    ASSERT_TRUE(CopyFileA((folder_->path + "\\skin\\mask.bmp").c_str(), (folder_->path + "\\" + mask).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((folder_->path + "\\skin\\ok_cht.bmp").c_str(), (folder_->path + "\\" + ok).c_str(), FALSE));
    std::string ini = SetKey(original_, "main", "windows_mask", mask.c_str());
    ini = SetKey(ini, "gbutton3", "buttonname", ok.c_str());
    folder_->Write(SkinFile(), ini);
    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(HasRegion(dialog));
    ASSERT_TRUE(CloseDialog(dialog));
}

}  // namespace
}  // namespace dlgtest
