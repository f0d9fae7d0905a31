// Readers of the skin configuration file (Config_USA.INI / Config_CHT.INI).
// The file is only ever read. Every key has a fallback: -1 for integers, "/" for
// texts; a text value whose first character is '/' counts as missing. Each reader
// takes the full path of the file, so callers decide which file is read.
//
// Bitmap names in the file are taken relative to the folder of the skin file (see
// SkinBitmapPath), so the pictures are found whatever the current directory is.
#pragma once
#include <windows.h>

// Field sizes in bytes, terminator included: a longer value is cut by the reader.
enum {
    SKIN_PATH_SIZE = 100,      // full path of the skin file itself
    SKIN_BITMAP_SIZE = 100,    // [main] windows_mask / windows_name, [gbuttonN] buttonname
    SKIN_MODEL_SIZE = 20,      // [table] model names
    SKIN_SLIDER_PIC_SIZE = 20  // [gslider] thumb_h, thumb_v, channel_h, channel_v
};

#define SKIN_MISSING_INT (-1)
#define SKIN_MISSING_TEXT "/"

// The one message for a missing skin file or key, and the quit code that follows it.
#define SKIN_MISSING_MESSAGE "Setting file not found."
#define SKIN_MISSING_CAPTION "error"
#define SKIN_MISSING_QUIT_CODE (-1)

// Copies `configPath` into a SKIN_PATH_SIZE buffer and expands it to a full path of
// at most SKIN_PATH_SIZE - 1 characters. A path that does not fit leaves `out` empty,
// and every reader then answers with the fallbacks (as for a missing file).
void SkinFullPath(const char* configPath, char out[SKIN_PATH_SIZE]);

// The file a bitmap name of the skin file `configPath` (a full path) stands for, into
// a MAX_PATH buffer: a relative name is joined to the skin file's folder; an absolute
// one (a drive letter with its colon, or a leading backslash or slash, as in "\\server"
// and in the missing-value "/") is used as written. A joined path that would not fit
// leaves `out` empty, which loads nothing, as a missing name does. Backslashes are
// looked for character by character in `codePage` (CP_ACP: the system's ANSI code
// page), so a double-byte folder name whose trail byte is 0x5C is not cut in two.
void SkinBitmapPath(const char* configPath, const char* name, char out[MAX_PATH]);
void SkinBitmapPathInCodePage(UINT codePage, const char* configPath, const char* name,
                              char out[MAX_PATH]);

// Plain readers: section/key lookups with the fallbacks above.
int SkinReadInt(const char* path, const char* section, const char* key);
void SkinReadText(const char* path, const char* section, const char* key, char* out, int size);
bool SkinTextMissing(const char* value);

// "Setting file not found." (no owner, caption "error", OK only), then a quit request
// with code -1. The caller carries on; the message loop ends at the quit request.
void SkinReportMissing();

// [main]
void SkinReadMaskPath(const char* path, char out[SKIN_BITMAP_SIZE]);  // windows_mask
void SkinReadFacePath(const char* path, char out[SKIN_BITMAP_SIZE]);  // windows_name

// [table]: the model name of the card with this subsystem id (key: lowercase hex, no
// prefix or leading zeros), "/" when the card is not listed.
void SkinReadModelName(const char* path, unsigned ssid, char out[SKIN_MODEL_SIZE]);

// A control's place: position_x, position_y, width, height.
struct SkinPlace {
    int x, y, width, height;
};
SkinPlace SkinReadSliderPlace(const char* path, int slider);  // [gslider1] / [gslider2]
SkinPlace SkinReadButtonPlace(const char* path, int button);  // [gbutton1] .. [gbutton5]
void SkinReadButtonStrip(const char* path, int button, char out[SKIN_BITMAP_SIZE]);

// Places of the drawn texts (position_x, position_y; width and height stay -1 unread).
SkinPlace SkinReadEngineTextPlace(const char* path);   // [statictext1]
SkinPlace SkinReadMemoryTextPlace(const char* path);   // [statictext2]
SkinPlace SkinReadBrandTextPlace(const char* path);    // [modelname] position_x, position_y
SkinPlace SkinReadModelTextPlace(const char* path);    // [modelname] position_x1, position_y1

// [combobox1]: position_x, position_y and length (the width; height stays -1 unread).
SkinPlace SkinReadProfileListPlace(const char* path);

// [color]: red, green, blue as read (-1 when missing), and the colour they give: only
// the low 8 bits of each are used, so missing values give white.
struct SkinColor {
    int red, green, blue;
};
SkinColor SkinReadTextColor(const char* path);
COLORREF SkinColorRef(const SkinColor& c);

// [gslider]: the four slider pictures, read in the order thumb_h, thumb_v, channel_h,
// channel_v. Each missing one is reported with SkinReportMissing right after it is
// read (one message each); returns the number of missing keys.
struct SkinSliderPictures {
    char thumbH[SKIN_SLIDER_PIC_SIZE];
    char thumbV[SKIN_SLIDER_PIC_SIZE];
    char channelH[SKIN_SLIDER_PIC_SIZE];
    char channelV[SKIN_SLIDER_PIC_SIZE];
};
int SkinReadSliderPictures(const char* path, SkinSliderPictures* out);
