// The program's resources as compiled: the three dialog templates control by control
// (ids, kinds, styles, rectangles, fonts, texts), the menus, strings and icon.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "resource.h"

namespace {

std::string Narrow(const std::wstring& w)
{
    char out[512];
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), (int)w.size(), out, sizeof out, nullptr, nullptr);
    return std::string(out, n);
}

// A dialog template read field by field, plain or extended.
struct TemplateItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::string kind; // class name, or the name of a predefined class ordinal
    std::string text;
};

struct Template {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption, font;
    WORD pointSize = 0;
    std::vector<TemplateItem> items;
};

class Reader {
public:
    explicit Reader(const BYTE* p) : m_p(p) {}
    WORD Word() { WORD w; memcpy(&w, m_p, 2); m_p += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, m_p, 4); m_p += 4; return d; }
    short Short() { return (short)Word(); }
    BYTE Byte() { return *m_p++; }
    std::string String()
    {
        std::wstring w;
        for (WORD c = Word(); c; c = Word())
            w += (wchar_t)c;
        return Narrow(w);
    }
    // A name or an ordinal (0xFFFF, then the number); predefined classes by name.
    std::string NameOrOrdinal()
    {
        WORD first;
        memcpy(&first, m_p, 2);
        if (first != 0xFFFF)
            return String();
        Word();
        switch (WORD ordinal = Word()) {
        case 0x80: return "Button";
        case 0x81: return "Edit";
        case 0x82: return "Static";
        case 0x85: return "ComboBox";
        default: return "#" + std::to_string(ordinal);
        }
    }
    void AlignDword()
    {
        while (reinterpret_cast<ULONG_PTR>(m_p) % 4)
            ++m_p;
    }

private:
    const BYTE* m_p;
};

Template LoadTemplate(int id)
{
    Template t;
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    EXPECT_NE(nullptr, found) << id;
    if (!found)
        return t;
    Reader r(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))));
    Reader peek = r;
    peek.Word();
    t.extended = peek.Word() == 0xFFFF;
    if (t.extended) {
        r.Word(); r.Word(); r.Dword(); // version, signature, help id
        t.exStyle = r.Dword();
        t.style = r.Dword();
    } else {
        t.style = r.Dword();
        t.exStyle = r.Dword();
    }
    WORD count = r.Word();
    t.x = r.Short(); t.y = r.Short(); t.cx = r.Short(); t.cy = r.Short();
    EXPECT_EQ("", r.NameOrOrdinal()) << "menu of template " << id;
    EXPECT_EQ("", r.NameOrOrdinal()) << "class of template " << id;
    t.caption = r.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Word();
        if (t.extended) {
            r.Word(); r.Byte(); r.Byte(); // weight, italic, character set
        }
        t.font = r.String();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignDword();
        TemplateItem item;
        if (t.extended) {
            r.Dword(); // help id
            item.exStyle = r.Dword();
            item.style = r.Dword();
        } else {
            item.style = r.Dword();
            item.exStyle = r.Dword();
        }
        item.x = r.Short(); item.y = r.Short(); item.cx = r.Short(); item.cy = r.Short();
        item.id = t.extended ? r.Dword() : r.Word();
        item.kind = r.NameOrOrdinal();
        item.text = r.NameOrOrdinal();
        WORD extra = r.Word();
        for (WORD b = 0; b < extra; ++b)
            r.Byte();
        t.items.push_back(item);
    }
    return t;
}

// What the template must say of a control. Style: the whole low word (the kind's own
// bits) and the window bits that matter here; WS_GROUP is the resource compiler's.
struct Expected {
    DWORD id;
    const char* kind;
    DWORD style;
    short x, y, cx, cy;
    const char* text;
};

const DWORD kCompared = 0xFFFF | WS_VISIBLE | WS_TABSTOP | WS_DISABLED | WS_BORDER | WS_VSCROLL | WS_HSCROLL;
const DWORD V = WS_VISIBLE, TAB = WS_TABSTOP;

void ExpectItems(const Template& t, const std::vector<Expected>& expected)
{
    ASSERT_EQ(expected.size(), t.items.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Expected& e = expected[i];
        const TemplateItem& item = t.items[i];
        SCOPED_TRACE(e.id);
        EXPECT_EQ(e.id, item.id);
        EXPECT_EQ(0, _stricmp(e.kind, item.kind.c_str())) << item.kind;
        EXPECT_TRUE(item.style & WS_CHILD);
        EXPECT_EQ(e.style, item.style & kCompared) << std::hex << item.style;
        EXPECT_EQ(0u, item.exStyle);
        EXPECT_EQ(e.x, item.x);
        EXPECT_EQ(e.y, item.y);
        EXPECT_EQ(e.cx, item.cx);
        EXPECT_EQ(e.cy, item.cy);
        EXPECT_EQ(e.text, item.text);
    }
}

TEST(Resources, MainDialogTemplate)
{
    Template t = LoadTemplate(IDD_TARNWELL2_DIALOG);
    EXPECT_TRUE(t.extended);
    EXPECT_EQ((DWORD)(DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION), t.style);
    EXPECT_EQ((DWORD)WS_EX_APPWINDOW, t.exStyle);
    EXPECT_EQ(320, t.cx);
    EXPECT_EQ(199, t.cy);
    EXPECT_EQ("MS Sans Serif", t.font);
    EXPECT_EQ(8, t.pointSize);

    const char* trackbar = TRACKBAR_CLASSA;
    // Save as and Delete place a caption, had they one, at the top left.
    const DWORD topLeft = BS_LEFT | BS_TOP;
    ExpectItems(t, {
        {1000, trackbar, V | TBS_BOTH | TBS_NOTICKS, 24, 22, 98, 14, ""},
        {1001, trackbar, V | TAB | TBS_BOTH | TBS_NOTICKS, 23, 40, 98, 14, ""},
        {1002, "Button", V | TAB | BS_PUSHBUTTON | topLeft, 23, 70, 52, 16, ""},
        {1003, "Static", SS_RIGHT, 138, 21, 18, 10, "01"},
        {1006, "Static", SS_RIGHT, 137, 40, 18, 10, "02"},
        {1008, "ComboBox", V | TAB | WS_VSCROLL | CBS_DROPDOWNLIST, 91, 108, 59, 71, ""},
        {1009, "Button", V | TAB | BS_PUSHBUTTON | topLeft, 103, 68, 52, 16, ""},
        {1011, "Button", V | TAB | BS_PUSHBUTTON, 23, 132, 52, 16, ""},
        {1012, "Button", V | TAB | BS_PUSHBUTTON, 87, 132, 52, 16, ""},
        {1013, "Button", V | TAB | BS_PUSHBUTTON, 151, 132, 52, 16, ""},
        {1016, "Static", SS_CENTER, 165, 43, 104, 17, "Model name"},
        {1017, "Static", SS_CENTER, 175, 17, 80, 13, "Model name"},
    });
}

TEST(Resources, ProfileNameTemplate)
{
    Template t = LoadTemplate(IDD_PROFILE_NAME);
    EXPECT_FALSE(t.extended);
    EXPECT_EQ((DWORD)(DS_SETFONT | DS_3DLOOK | WS_POPUP | WS_CAPTION), t.style);
    EXPECT_EQ(158, t.cx);
    EXPECT_EQ(57, t.cy);
    EXPECT_EQ("Profile", t.caption);
    EXPECT_EQ("System", t.font);
    EXPECT_EQ(12, t.pointSize);
    ExpectItems(t, {
        {1019, "Static", V | SS_LEFT, 20, 4, 50, 12, "Save as:"},
        {1010, "Edit", V | TAB | WS_BORDER | ES_LEFT, 20, 20, 113, 12, ""},
        {IDOK, "Button", V | TAB | BS_PUSHBUTTON, 32, 36, 40, 15, "OK"},
        {IDCANCEL, "Button", V | TAB | BS_PUSHBUTTON, 82, 36, 40, 15, "Cancel"},
    });
}

TEST(Resources, KeepClockTemplate)
{
    Template t = LoadTemplate(IDD_KEEP_CLOCK);
    EXPECT_FALSE(t.extended);
    EXPECT_EQ((DWORD)(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU), t.style);
    EXPECT_EQ(137, t.cx);
    EXPECT_EQ(62, t.cy);
    EXPECT_EQ("", t.caption);
    EXPECT_EQ("System", t.font);
    EXPECT_EQ(10, t.pointSize);
    ExpectItems(t, {
        {IDOK, "Button", V | TAB | BS_DEFPUSHBUTTON, 15, 33, 50, 14, "OK"},
        {IDCANCEL, "Button", V | TAB | BS_PUSHBUTTON, 75, 33, 50, 14, "Cancel"},
        {1018, "Static", V | SS_CENTER, 7, 7, 123, 21,
         "Your AGP clock has been changed.\nDo you want to keep these changed?"},
        {1020, "Static", V | SS_CENTER, 7, 50, 123, 10, ""},
    });
}

struct MenuEntry {
    UINT id;
    std::string text;
    bool separator, popup;
};

std::vector<MenuEntry> Entries(HMENU menu)
{
    std::vector<MenuEntry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 64;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        entries.push_back({info.wID, Narrow(text), (info.fType & MFT_SEPARATOR) != 0, info.hSubMenu != nullptr});
    }
    return entries;
}

void ExpectEntries(HMENU menu, const std::vector<std::pair<UINT, std::string>>& expected)
{
    std::vector<MenuEntry> entries = Entries(menu);
    ASSERT_EQ(expected.size(), entries.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].second.empty(), entries[i].separator);
        if (!entries[i].separator) {
            EXPECT_EQ(expected[i].first, entries[i].id);
            EXPECT_EQ(expected[i].second, entries[i].text);
        }
    }
}

TEST(Resources, FrameMenu)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
    ASSERT_NE(nullptr, menu);
    std::vector<MenuEntry> top = Entries(menu);
    ASSERT_EQ(3u, top.size());
    EXPECT_EQ("&File", top[0].text);
    EXPECT_EQ("&Edit", top[1].text);
    EXPECT_EQ("&Help", top[2].text);
    ExpectEntries(GetSubMenu(menu, 0), {{57665, "E&xit"}});
    ExpectEntries(GetSubMenu(menu, 1), {{57643, "&Undo\tCtrl+Z"}, {0, ""}, {57635, "Cu&t\tCtrl+X"},
                                        {57634, "&Copy\tCtrl+C"}, {57637, "&Paste\tCtrl+V"}});
    ExpectEntries(GetSubMenu(menu, 2), {{57664, "&About Tarnwell2..."}});
    DestroyMenu(menu);
}

TEST(Resources, TrayMenusInTheirLanguages)
{
    const struct {
        UINT id;
        WORD language;
        const char *option, *close;
    } menus[] = {
        {130, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), "Option...", "Close"},
        {131, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), u8"設定...", u8"結束"},
    };
    for (const auto& m : menus) {
        SCOPED_TRACE(m.id);
        EXPECT_NE(nullptr, FindResourceExA(nullptr, MAKEINTRESOURCEA(4) /* RT_MENU */,
                                           MAKEINTRESOURCEA(m.id), m.language));
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m.id));
        ASSERT_NE(nullptr, menu);
        std::vector<MenuEntry> top = Entries(menu);
        ASSERT_EQ(1u, top.size());
        EXPECT_EQ("Popup", top[0].text);
        EXPECT_TRUE(top[0].popup);
        ExpectEntries(GetSubMenu(menu, 0), {{32771, m.option}, {0, ""}, {57665, m.close}});
        DestroyMenu(menu);
    }
}

TEST(Resources, TitleStringsAndIcon)
{
    for (UINT id : {128u, 57344u}) {
        char text[64] = "";
        LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
        EXPECT_STREQ("Zyk Velotune", text) << id;
    }
    EXPECT_NE(nullptr, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128)));
}

} // namespace
