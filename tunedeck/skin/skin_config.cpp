// Readers of the skin configuration file: thin lookups with the fallbacks the rest of
// the skin relies on (-1 for integers, "/" for texts).
#include "skin_config.h"

#include <stdio.h>
#include <string.h>

void SkinFullPath(const char* configPath, char out[SKIN_PATH_SIZE]) {
    char copy[SKIN_PATH_SIZE];
    out[0] = '\0';
    if (!configPath) return;
    // A longer path would name another file once cut: treat it as no file at all.
    if (strlen(configPath) >= SKIN_PATH_SIZE) return;
    strcpy(copy, configPath);
    DWORD n = GetFullPathNameA(copy, SKIN_PATH_SIZE, out, nullptr);
    if (n == 0 || n >= SKIN_PATH_SIZE) out[0] = '\0';
}

static bool AbsoluteName(const char* name) {
    if (name[0] == '\\' || name[0] == '/') return true;
    const char c = name[0];
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && name[1] == ':';
}

// Lead bytes of the code page's double-byte characters (none for a single-byte one),
// from its lead-byte ranges.
static bool LeadByte(const CPINFO& info, unsigned char c) {
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2)
        if (c >= info.LeadByte[i] && c <= info.LeadByte[i + 1]) return true;
    return false;
}

void SkinBitmapPathInCodePage(UINT codePage, const char* configPath, const char* name,
                              char out[MAX_PATH]) {
    out[0] = '\0';
    if (!name) return;
    CPINFO info;
    if (!GetCPInfo(codePage, &info)) info.LeadByte[0] = 0;
    // Length of the folder part of the skin file's path, its last backslash included;
    // a lead byte always takes the next byte with it.
    size_t folder = 0;
    if (configPath && !AbsoluteName(name)) {
        for (size_t i = 0; configPath[i];) {
            const unsigned char c = (unsigned char)configPath[i];
            if (c == '\\' || c == '/') folder = i + 1;
            if (LeadByte(info, c) && configPath[i + 1])
                i += 2;
            else
                i += 1;
        }
    }
    const size_t length = strlen(name);
    if (folder + length >= MAX_PATH) return;
    memcpy(out, configPath, folder);
    memcpy(out + folder, name, length + 1);
}

void SkinBitmapPath(const char* configPath, const char* name, char out[MAX_PATH]) {
    SkinBitmapPathInCodePage(CP_ACP, configPath, name, out);
}

int SkinReadInt(const char* path, const char* section, const char* key) {
    // An empty path would make the profile reader look in the Windows directory.
    if (!path || !path[0]) return SKIN_MISSING_INT;
    return (int)GetPrivateProfileIntA(section, key, SKIN_MISSING_INT, path);
}

void SkinReadText(const char* path, const char* section, const char* key, char* out, int size) {
    if (!path || !path[0]) {
        lstrcpynA(out, SKIN_MISSING_TEXT, size);
        return;
    }
    GetPrivateProfileStringA(section, key, SKIN_MISSING_TEXT, out, (DWORD)size, path);
}

bool SkinTextMissing(const char* value) { return value[0] == '/'; }

void SkinReportMissing() {
    MessageBoxA(nullptr, SKIN_MISSING_MESSAGE, SKIN_MISSING_CAPTION, MB_OK);
    PostQuitMessage(SKIN_MISSING_QUIT_CODE);
}

void SkinReadMaskPath(const char* path, char out[SKIN_BITMAP_SIZE]) {
    SkinReadText(path, "main", "windows_mask", out, SKIN_BITMAP_SIZE);
}

void SkinReadFacePath(const char* path, char out[SKIN_BITMAP_SIZE]) {
    SkinReadText(path, "main", "windows_name", out, SKIN_BITMAP_SIZE);
}

void SkinReadModelName(const char* path, unsigned ssid, char out[SKIN_MODEL_SIZE]) {
    char key[16];
    snprintf(key, sizeof key, "%x", ssid & 0xFFFFu);
    SkinReadText(path, "table", key, out, SKIN_MODEL_SIZE);
}

static SkinPlace ReadPlace(const char* path, const char* section, const char* keyX,
                           const char* keyY, const char* keyW, const char* keyH) {
    SkinPlace p;
    p.x = SkinReadInt(path, section, keyX);
    p.y = SkinReadInt(path, section, keyY);
    p.width = keyW ? SkinReadInt(path, section, keyW) : SKIN_MISSING_INT;
    p.height = keyH ? SkinReadInt(path, section, keyH) : SKIN_MISSING_INT;
    return p;
}

static void NumberedSection(char* out, size_t size, const char* stem, int n) {
    snprintf(out, size, "%s%d", stem, n);
}

SkinPlace SkinReadSliderPlace(const char* path, int slider) {
    char section[16];
    NumberedSection(section, sizeof section, "gslider", slider);
    return ReadPlace(path, section, "position_x", "position_y", "width", "height");
}

SkinPlace SkinReadButtonPlace(const char* path, int button) {
    char section[16];
    NumberedSection(section, sizeof section, "gbutton", button);
    return ReadPlace(path, section, "position_x", "position_y", "width", "height");
}

void SkinReadButtonStrip(const char* path, int button, char out[SKIN_BITMAP_SIZE]) {
    char section[16];
    NumberedSection(section, sizeof section, "gbutton", button);
    SkinReadText(path, section, "buttonname", out, SKIN_BITMAP_SIZE);
}

SkinPlace SkinReadEngineTextPlace(const char* path) {
    return ReadPlace(path, "statictext1", "position_x", "position_y", nullptr, nullptr);
}

SkinPlace SkinReadMemoryTextPlace(const char* path) {
    return ReadPlace(path, "statictext2", "position_x", "position_y", nullptr, nullptr);
}

SkinPlace SkinReadBrandTextPlace(const char* path) {
    return ReadPlace(path, "modelname", "position_x", "position_y", nullptr, nullptr);
}

SkinPlace SkinReadModelTextPlace(const char* path) {
    return ReadPlace(path, "modelname", "position_x1", "position_y1", nullptr, nullptr);
}

SkinPlace SkinReadProfileListPlace(const char* path) {
    return ReadPlace(path, "combobox1", "position_x", "position_y", "length", nullptr);
}

SkinColor SkinReadTextColor(const char* path) {
    SkinColor c;
    c.red = SkinReadInt(path, "color", "red");
    c.green = SkinReadInt(path, "color", "green");
    c.blue = SkinReadInt(path, "color", "blue");
    return c;
}

COLORREF SkinColorRef(const SkinColor& c) {
    return RGB(c.red & 0xFF, c.green & 0xFF, c.blue & 0xFF);
}

static int ReadSliderPicture(const char* path, const char* key, char* out) {
    SkinReadText(path, "gslider", key, out, SKIN_SLIDER_PIC_SIZE);
    if (!SkinTextMissing(out)) return 0;
    SkinReportMissing();
    return 1;
}

int SkinReadSliderPictures(const char* path, SkinSliderPictures* out) {
    int missing = 0;
    missing += ReadSliderPicture(path, "thumb_h", out->thumbH);
    missing += ReadSliderPicture(path, "thumb_v", out->thumbV);
    missing += ReadSliderPicture(path, "channel_h", out->channelH);
    missing += ReadSliderPicture(path, "channel_v", out->channelV);
    return missing;
}
