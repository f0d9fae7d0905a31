// RegionFromMaskBitmap: the mask is copied once into a 32-bit bottom-up DIB section
// (whatever its own depth) and scanned through memory, one rectangle per maximal run
// of inside pixels on each row.
#include "mask_region.h"

namespace {

// The region-data header as the system reads it, then the rectangles.
const DWORD kHeaderSize = sizeof(RGNDATAHEADER);  // 32
const DWORD kRectSize = sizeof(RECT);              // 16

struct Band {
    BYTE lo, hi;
    bool Holds(BYTE v) const { return v >= lo && v <= hi; }
};

Band MakeBand(DWORD key, DWORD tolerance, int shift) {
    int k = (key >> shift) & 0xFF;
    int t = (tolerance >> shift) & 0xFF;
    int hi = k + t > 255 ? 255 : k + t;
    return Band{(BYTE)k, (BYTE)hi};
}

void EmptyBound(RGNDATAHEADER* h) {
    SetRect(&h->rcBound, 0x7FFFFFFF, 0x7FFFFFFF, 0, 0);
}

// The growing rectangle buffer (one movable global block) and the region built from
// the pieces flushed so far.
class RectCollector {
public:
    bool Open() {
        capacity_ = MASK_REGION_GROW;
        block_ = GlobalAlloc(GMEM_MOVEABLE, kHeaderSize + kRectSize * capacity_);
        if (!block_) return false;
        data_ = (RGNDATA*)GlobalLock(block_);
        if (!data_) return false;
        data_->rdh.dwSize = kHeaderSize;
        data_->rdh.iType = RDH_RECTANGLES;
        data_->rdh.nCount = 0;
        data_->rdh.nRgnSize = 0;
        EmptyBound(&data_->rdh);
        return true;
    }

    // False when the buffer could not grow: nothing was written past the block.
    bool Add(LONG left, LONG top, LONG right, LONG bottom) {
        if (data_->rdh.nCount >= capacity_ && !Grow()) return false;
        RECT* r = (RECT*)data_->Buffer + data_->rdh.nCount;
        SetRect(r, left, top, right, bottom);
        RECT& b = data_->rdh.rcBound;
        if (left < b.left) b.left = left;
        if (top < b.top) b.top = top;
        if (right > b.right) b.right = right;
        if (bottom > b.bottom) b.bottom = bottom;
        if (++data_->rdh.nCount == MASK_REGION_PIECE) {
            Flush();
            data_->rdh.nCount = 0;
            EmptyBound(&data_->rdh);
        }
        return true;
    }

    void Flush() {
        HRGN piece = ExtCreateRegion(nullptr, kHeaderSize + kRectSize * capacity_, data_);
        if (!piece) return;  // this piece contributes nothing
        if (region_) {
            CombineRgn(region_, region_, piece, RGN_OR);
            DeleteObject(piece);
        } else {
            region_ = piece;
        }
    }

    HRGN TakeRegion() {
        HRGN r = region_;
        region_ = nullptr;
        return r;
    }

    ~RectCollector() {
        if (data_) GlobalUnlock(block_);
        if (block_) GlobalFree(block_);
        if (region_) DeleteObject(region_);
    }

private:
    bool Grow() {
        GlobalUnlock(block_);
        data_ = nullptr;
        DWORD wanted = capacity_ + MASK_REGION_GROW;
        HGLOBAL grown = GlobalReAlloc(block_, kHeaderSize + kRectSize * wanted, GMEM_MOVEABLE);
        if (grown) {
            block_ = grown;
            capacity_ = wanted;
        }
        // On failure the old block is still valid and still ours: lock it again so it
        // is released normally, and report that the rectangle did not fit.
        data_ = (RGNDATA*)GlobalLock(block_);
        return grown != nullptr && data_ != nullptr;
    }

    HGLOBAL block_ = nullptr;
    RGNDATA* data_ = nullptr;
    DWORD capacity_ = 0;
    HRGN region_ = nullptr;
};

}  // namespace

HRGN RegionFromMaskBitmap(HBITMAP mask, COLORREF key, COLORREF tolerance) {
    if (!mask) return nullptr;
    HDC work = CreateCompatibleDC(nullptr);
    if (!work) return nullptr;

    BITMAP bm;
    if (!GetObjectA(mask, sizeof bm, &bm)) {
        DeleteDC(work);
        return nullptr;
    }
    const LONG W = bm.bmWidth, H = bm.bmHeight;

    // Positive height: bottom-up, so the top image row is the last row in memory.
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = W;
    bih.biHeight = H;
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    bih.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(work, (BITMAPINFO*)&bih, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!image) {
        DeleteDC(work);
        return nullptr;
    }
    HGDIOBJ oldImage = SelectObject(work, image);
    HDC source = CreateCompatibleDC(work);
    if (!source) {
        SelectObject(work, oldImage);
        DeleteObject(image);
        DeleteDC(work);
        return nullptr;
    }
    BITMAP ib;
    GetObjectA(image, sizeof ib, &ib);
    const LONG stride = (ib.bmWidthBytes + 3) & ~3L;

    HGDIOBJ oldMask = SelectObject(source, mask);
    BitBlt(work, 0, 0, W, H, source, 0, 0, SRCCOPY);
    GdiFlush();  // the copy must have landed before the bits are read directly

    HRGN result = nullptr;
    {
        RectCollector rects;
        if (rects.Open()) {
            const Band red = MakeBand(key, tolerance, 0);
            const Band green = MakeBand(key, tolerance, 8);
            const Band blue = MakeBand(key, tolerance, 16);
            bool complete = true;
            for (LONG y = 0; y < H && complete; ++y) {
                // Top row first: it is the last one in memory.
                const BYTE* row = (const BYTE*)bits + (size_t)(H - 1 - y) * stride;
                LONG x = 0;
                while (x < W) {
                    const LONG x0 = x;
                    while (x < W) {
                        const BYTE* p = row + x * 4;  // blue, green, red, unused
                        if (blue.Holds(p[0]) && green.Holds(p[1]) && red.Holds(p[2])) break;
                        ++x;
                    }
                    if (x > x0 && !rects.Add(x0, y, x, y + 1)) {
                        complete = false;
                        break;
                    }
                    ++x;  // step over the transparent pixel that ended the run
                }
            }
            // A buffer that could not grow gives no region at all: half an outline
            // would look broken, while no region keeps the ordinary window frame.
            if (complete) {
                rects.Flush();  // also when the count is 0
                result = rects.TakeRegion();
            }
        }
    }

    SelectObject(source, oldMask);
    DeleteDC(source);
    SelectObject(work, oldImage);
    DeleteObject(image);
    DeleteDC(work);
    return result;
}
