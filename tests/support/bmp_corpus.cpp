#include "bmp_corpus.h"

#include <string.h>

namespace corpus {

namespace {

const BYTE kWhite = 0xFF, kGrey = 0x40;

void Put16(std::string& s, size_t at, WORD v) { memcpy(&s[at], &v, 2); }
void Put32(std::string& s, size_t at, DWORD v) { memcpy(&s[at], &v, 4); }

// File header + info header (+ palette or bit fields); `image` is the pixel data.
std::string File(int w, int h, int depth, DWORD compression, const std::string& colours,
                 const std::string& image) {
    std::string s(14 + 40, '\0');
    s[0] = 'B';
    s[1] = 'M';
    const DWORD offset = (DWORD)(14 + 40 + colours.size());
    Put32(s, 2, (DWORD)(offset + image.size()));
    Put32(s, 10, offset);
    Put32(s, 14, 40);
    Put32(s, 18, (DWORD)w);
    Put32(s, 22, (DWORD)h);
    Put16(s, 26, 1);
    Put16(s, 28, (WORD)depth);
    Put32(s, 30, compression);
    Put32(s, 34, (DWORD)image.size());
    Put32(s, 38, 2835);
    Put32(s, 42, 2835);
    return s + colours + image;
}

// Palette: index 0 white, index 1 grey, the rest black.
std::string Palette(int depth) {
    std::string p((size_t)(1 << depth) * 4, '\0');
    p[0] = p[1] = p[2] = (char)kWhite;
    p[4] = p[5] = p[6] = (char)kGrey;
    return p;
}

int Index(int x, int y, int w, int h) { return Inside(x, y, w, h) ? 1 : 0; }

}  // namespace

std::string Bmp(int w, int h, int depth, bool topDown) {
    const int stride = ((w * depth + 31) / 32) * 4;
    std::string image((size_t)stride * h, '\0');
    for (int y = 0; y < h; ++y) {
        // Row y of the picture is stored at row y (top-down) or h - 1 - y (bottom-up).
        char* row = &image[(size_t)(topDown ? y : h - 1 - y) * stride];
        for (int x = 0; x < w; ++x) {
            const bool in = Inside(x, y, w, h);
            const BYTE v = in ? kGrey : kWhite;
            switch (depth) {
            case 32: row[x * 4 + 3] = 0;  // fall through
            case 24: {
                const int n = depth / 8;
                row[x * n] = row[x * n + 1] = row[x * n + 2] = (char)v;
                break;
            }
            case 16: {
                // 5-5-5: white is 0x7FFF.
                const WORD c = in ? (WORD)((8 << 10) | (8 << 5) | 8) : 0x7FFF;
                memcpy(row + x * 2, &c, 2);
                break;
            }
            default: {
                const int bit = x * depth;
                row[bit / 8] |= (char)(Index(x, y, w, h) << (8 - depth - bit % 8));
            }
            }
        }
    }
    const std::string colours = depth <= 8 ? Palette(depth) : std::string();
    return File(w, topDown ? -h : h, depth, BI_RGB, colours, image);
}

// Encoded mode only: runs of one index, each row ended by 0 0, the picture by 0 1.
std::string RleBmp(int w, int h, int depth) {
    std::string image;
    for (int y = h - 1; y >= 0; --y) {  // bottom-up
        int x = 0;
        while (x < w) {
            const int index = Index(x, y, w, h);
            int n = 1;
            while (x + n < w && n < 255 && Index(x + n, y, w, h) == index) ++n;
            image += (char)n;
            image += (char)(depth == 8 ? index : (index << 4) | index);
            x += n;
        }
        image += '\0';
        image += '\0';
    }
    image += '\0';
    image += '\1';
    return File(w, h, depth, depth == 8 ? BI_RLE8 : BI_RLE4, Palette(depth), image);
}

std::vector<Entry> Bitmaps(int w, int h) {
    std::vector<Entry> c;
    for (int depth : {1, 4, 8, 16, 24, 32})
        c.push_back({"depth" + std::to_string(depth), Bmp(w, h, depth), Expect::Picture});
    c.push_back({"rle8", RleBmp(w, h, 8), Expect::Picture});
    c.push_back({"rle4", RleBmp(w, h, 4), Expect::Picture});
    c.push_back({"topdown24", Bmp(w, h, 24, true), Expect::Loaded});
    c.push_back({"topdown8", Bmp(w, h, 8, true), Expect::Loaded});

    const std::string sound = Bmp(w, h, 24);
    c.push_back({"truncated_pixels", sound.substr(0, sound.size() / 2), Expect::NoPicture});
    // Cut short across several pages of memory: the loader must not be given it.
    const std::string large = Bmp(300, 200, 24), large1 = Bmp(480, 330, 1);
    c.push_back({"truncated_large", large.substr(0, large.size() / 3), Expect::NoPicture});
    c.push_back({"truncated_large1", large1.substr(0, large1.size() / 3), Expect::NoPicture});
    c.push_back({"truncated_header", sound.substr(0, 30), Expect::NoPicture});
    c.push_back({"file_header_only", sound.substr(0, 14), Expect::NoPicture});
    for (int depth : {1, 24, 32}) {
        std::string huge = Bmp(w, h, depth);
        Put32(huge, 18, 100000);
        Put32(huge, 22, 100000);
        c.push_back({"huge_header" + std::to_string(depth), huge, Expect::NoPicture});
    }
    std::string zeroDims = sound;
    Put32(zeroDims, 18, 0);
    Put32(zeroDims, 22, 0);
    c.push_back({"zero_dimensions", zeroDims, Expect::NoPicture});
    c.push_back({"zero_size", std::string(), Expect::NoPicture});
    std::string farOffset = sound;
    Put32(farOffset, 10, 0x7FFFFFF0);
    c.push_back({"offset_past_end", farOffset, Expect::NoPicture});
    std::string manyColours = Bmp(w, h, 8);
    Put32(manyColours, 46, 0xFFFFFFFF);  // biClrUsed
    c.push_back({"palette_count_huge", manyColours, Expect::NoPicture});
    std::string badDepth = sound;
    Put16(badDepth, 28, 7);
    c.push_back({"depth7", badDepth, Expect::NoPicture});
    std::string badRle = RleBmp(w, h, 8);
    for (size_t i = 14 + 40 + 1024; i < badRle.size(); i += 2) badRle[i] = (char)0xFF;  // runs past rows
    c.push_back({"rle8_overrun", badRle, Expect::Loaded});
    // A colour table that runs past the end while the pixels still fit: 8-bit 1 x 1,
    // 256 colours used, 8 bytes of table, the pixels at 62.
    std::string shortTable = File(1, 1, 8, BI_RGB, std::string(8, '\0'), std::string(4, '\0'));
    Put32(shortTable, 46, 256);
    c.push_back({"table_past_end", shortTable, Expect::NoPicture});
    // The pixel offset inside the colour table, and the pixels one byte short when
    // read from the table's end, where the system's loader may take them from.
    std::string offsetInTable = Bmp(w, h, 8);
    Put32(offsetInTable, 10, 14 + 40);
    c.push_back({"offset_in_table", offsetInTable.substr(0, offsetInTable.size() - 1), Expect::NoPicture});
    c.push_back({"text", "[main]\r\nthis is not a picture\r\n", Expect::NoPicture});
    std::string noise(4096, '\0');
    std::mt19937 rng(7);
    for (char& b : noise) b = (char)rng();
    c.push_back({"noise", noise, Expect::NoPicture});
    c.push_back({"bm_then_noise", "BM" + noise, Expect::NoPicture});
    return c;
}

std::vector<Entry> EdgeBitmaps(int w, int h) {
    std::vector<Entry> c;
    auto refused = [&c](const std::string& name, const std::string& bytes) {
        c.push_back({name, bytes, Expect::NoPicture});
    };
    const std::string sound = Bmp(w, h, 24);
    const std::string pixels24 = sound.substr(14 + 40);
    auto with32 = [](std::string s, size_t at, DWORD v) { Put32(s, at, v); return s; };
    auto with16 = [](std::string s, size_t at, WORD v) { Put16(s, at, v); return s; };

    refused("signature_ba", with16(sound, 0, 'B' | 'A' << 8));
    // An OS/2 2.x header of 16 bytes: neither of the two layouts read.
    refused("header_size16", with32(sound, 14, 16));
    // 14 + header size wraps to 0.
    refused("header_size_wraps", with32(sound, 14, 0xFFFFFFF2));
    refused("planes2", with16(sound, 26, 2));
    refused("zero_width", with32(sound, 18, 0));
    refused("zero_height", with32(sound, 22, 0));
    // One side past 32767, the pixels all there: 1 bit per pixel.
    refused("wide_32768", File(32768, 1, 1, BI_RGB, Palette(1), std::string(4096, '\0')));
    refused("tall_32768", File(1, 32768, 1, BI_RGB, Palette(1), std::string(4 * 32768, '\0')));
    refused("tall_topdown_32768", File(1, -32768, 1, BI_RGB, Palette(1), std::string(4 * 32768, '\0')));
    refused("compression_jpeg", with32(sound, 30, BI_JPEG));
    // Bit fields at 24 bits, the three masks there.
    refused("bitfields24", File(w, h, 24, BI_BITFIELDS, std::string(12, '\0'), pixels24));
    // 16-bit bit fields whose pixels start inside the masks and are whole only from there.
    const int stride16 = ((w * 16 + 31) / 32) * 4;
    std::string masks16 = File(w, h, 16, BI_BITFIELDS, std::string(12, '\0'),
                               std::string((size_t)stride16 * h - 1, '\0'));
    Put32(masks16, 10, 14 + 40);
    refused("bitfields_in_masks", masks16);
    // Run-length files the loader is not given: the wrong depth, top-down, no size.
    const std::string rle = RleBmp(w, h, 8);
    refused("rle8_depth4", with16(rle, 28, 4));
    std::string rleTopDown = with32(rle, 22, (DWORD)-h);
    refused("rle8_topdown", rleTopDown);
    refused("rle8_no_size", with32(rle, 34, 0));
    // A colour table of 257 entries at 24 bits, all in the file.
    refused("table_257", with32(File(w, h, 24, BI_RGB, std::string(257 * 4, '\0'), pixels24), 46, 257));
    // The pixels said to start inside the info header.
    refused("offset_in_header", with32(sound, 10, 14 + 39));
    return c;
}

std::string Mutate(const std::string& bytes, std::mt19937& rng) {
    std::string s = bytes;
    auto pick = [&rng](size_t n) { return n ? (size_t)(rng() % n) : 0; };
    const int kinds = 6;
    const int rounds = 1 + (int)pick(4);
    for (int r = 0; r < rounds; ++r) {
        switch (pick(kinds)) {
        case 0:  // flip bytes anywhere
            for (int i = 0, n = 1 + (int)pick(8); i < n && !s.empty(); ++i) s[pick(s.size())] ^= (char)(1 + pick(255));
            break;
        case 1: {  // a header field (first 54 bytes) set to an interesting value
            static const DWORD values[] = {0, 1, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 100000, 65536, 0xFFFF, 16, 32};
            if (s.size() >= 4) {
                size_t at = pick(s.size() < 54 ? s.size() - 3 : 51);
                Put32(s, at, values[pick(sizeof values / sizeof values[0])]);
            }
            break;
        }
        case 2:  // cut short
            s.resize(pick(s.size() + 1));
            break;
        case 3: {  // a block repeated
            if (s.empty()) break;
            size_t at = pick(s.size()), n = 1 + pick(64);
            s.insert(at, s.substr(at, n));
            break;
        }
        case 4: {  // random bytes inserted
            std::string add(1 + pick(32), '\0');
            for (char& b : add) b = (char)rng();
            s.insert(pick(s.size() + 1), add);
            break;
        }
        default:  // a run of bytes overwritten with one value
            if (s.empty()) break;
            {
                size_t at = pick(s.size()), n = 1 + pick(128);
                char v = (char)rng();
                for (size_t i = at; i < s.size() && i < at + n; ++i) s[i] = v;
            }
        }
    }
    return s;
}

}  // namespace corpus
