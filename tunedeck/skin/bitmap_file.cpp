#include "bitmap_file.h"

#include <string.h>

#include "skin_config.h"
#include "skin_palette.h"

namespace {

const DWORD kFileHeader = 14;
const DWORD kCoreHeader = 12;
const DWORD kInfoHeader = 40;
const LONG kMaxSide = 32767;

DWORD Get32(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((DWORD)p[3] << 24); }
WORD Get16(const BYTE* p) { return (WORD)(p[0] | (p[1] << 8)); }

}  // namespace

bool BitmapFileIsWhole(const char* path) {
    if (!path || !path[0]) return false;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    BYTE head[kFileHeader + kInfoHeader];
    DWORD got = 0;
    const BOOL read = ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    // Over 4 GB, or no header to speak of.
    if (size == INVALID_FILE_SIZE || high != 0 || !read || got < kFileHeader + kCoreHeader) return false;
    if (head[0] != 'B' || head[1] != 'M') return false;

    const DWORD offBits = Get32(head + 10);
    const DWORD headerSize = Get32(head + 14);
    LONG width, height;
    WORD planes, depth;
    DWORD compression = BI_RGB, colours = 0, imageSize = 0, colourBytes;
    if (headerSize == kCoreHeader) {
        width = Get16(head + 18);
        height = (SHORT)Get16(head + 20);
        planes = Get16(head + 22);
        depth = Get16(head + 24);
        colourBytes = 3;
    } else {
        if (headerSize < kInfoHeader || got < kFileHeader + kInfoHeader) return false;
        width = (LONG)Get32(head + 18);
        height = (LONG)Get32(head + 22);
        planes = Get16(head + 26);
        depth = Get16(head + 28);
        compression = Get32(head + 30);
        imageSize = Get32(head + 34);
        colours = Get32(head + 46);
        colourBytes = 4;
    }
    if (planes != 1 || width <= 0 || width > kMaxSide || height == 0 || height > kMaxSide ||
        height < -kMaxSide)
        return false;
    const DWORD rows = (DWORD)(height < 0 ? -height : height);

    DWORD masks = 0;  // bit fields after a plain info header
    switch (compression) {
    case BI_RGB:
        if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return false;
        break;
    case BI_BITFIELDS:
        if (depth != 16 && depth != 32) return false;
        if (headerSize == kInfoHeader) masks = 12;
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (depth != (compression == BI_RLE8 ? 8 : 4) || height < 0 || imageSize == 0) return false;
        break;
    default:  // JPEG, PNG and anything unknown
        return false;
    }
    if (depth <= 8) {
        const DWORD most = 1u << depth;
        if (colours == 0) colours = most;
        if (colours > most) return false;
    } else if (colours > 256) {  // an optional table, of at most 256 entries
        return false;
    }
    // Header, masks and table are read right after the file header; the pixels from
    // the offset the file gives. All of it must be in the file.
    if (headerSize > size) return false;
    const DWORD tableEnd = kFileHeader + headerSize + masks + colours * colourBytes;
    if (tableEnd > size) return false;
    if (offBits < kFileHeader + headerSize || offBits > size) return false;
    DWORD pixelBytes;
    if (compression == BI_RLE8 || compression == BI_RLE4) {
        pixelBytes = imageSize;
    } else {
        const unsigned long long stride = (((unsigned long long)width * depth + 31) / 32) * 4;
        const unsigned long long total = stride * rows;
        if (total > size) return false;
        pixelBytes = (DWORD)total;
    }
    // Either start of the pixels: the stated offset, or right after the table.
    const DWORD start = offBits > tableEnd ? offBits : tableEnd;
    return pixelBytes <= size - start;
}

HBITMAP LoadBitmapFile(const char* path) {
    if (!BitmapFileIsWhole(path)) return nullptr;
    // On a palette display a device bitmap would be cut to the default palette's 20
    // colours as it loads; a DIB section keeps the picture's own colours.
    const UINT flags = LR_LOADFROMFILE | (SkinPaletteDisplay() ? LR_CREATEDIBSECTION : 0);
    return (HBITMAP)LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, flags);
}

HBITMAP LoadSkinBitmap(const char* configPath, const char* name) {
    char path[MAX_PATH];
    SkinBitmapPath(configPath, name, path);
    return LoadBitmapFile(path);
}
