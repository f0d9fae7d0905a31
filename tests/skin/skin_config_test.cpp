// Readers of the skin file: fallbacks, field lengths, the [table] key, and the
// slider's four-key check with its message and quit request.
#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "skin_config.h"
#include "message_box.h"
#include "skin_test_util.h"

namespace {

const char kSkin[] =
    "[main]\r\nwindows_mask=m.bmp\r\nwindows_name=f.bmp\r\n"
    "[TABLE]\r\n9a05=ZK-9600 AGP\r\na12=ZK-9250 Velo\r\n"
    "[gslider]\r\nthumb_h=th.bmp\r\nthumb_v=tv.bmp\r\nchannel_h=ch.bmp\r\nchannel_v=cv.bmp\r\n"
    "[gslider2]\r\nposition_x=11\r\nposition_y=12\r\nwidth=13\r\nheight=14\r\n"
    "[gbutton5]\r\nPosition_X=1\r\nposition_y=2\r\nwidth=3\r\nheight=4\r\nbuttonname=b5.bmp\r\n"
    "[statictext2]\r\nposition_x=-7\r\nposition_y=8\r\n"
    "[modelname]\r\nposition_x=5\r\nposition_y=6\r\nposition_x1=7\r\nposition_y1=8\r\n"
    "[combobox1]\r\nposition_x=21\r\nposition_y=22\r\nlength=23\r\n"
    "[color]\r\nred=300\r\ngreen=16\r\nblue=-2\r\n";

class SkinConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.Write("skin.ini", kSkin));
        SkinFullPath(dir_.Path("skin.ini").c_str(), path_);
        SkinFullPath(dir_.Path("absent.ini").c_str(), missing_);
    }
    ScratchDir dir_;
    char path_[SKIN_PATH_SIZE];
    char missing_[SKIN_PATH_SIZE];
};

TEST_F(SkinConfigTest, ValuesAreReadWithoutRegardToCase) {
    char text[SKIN_BITMAP_SIZE];
    SkinReadMaskPath(path_, text);
    EXPECT_STREQ(text, "m.bmp");
    SkinReadFacePath(path_, text);
    EXPECT_STREQ(text, "f.bmp");
    SkinPlace s = SkinReadSliderPlace(path_, 2);
    EXPECT_EQ(s.x, 11); EXPECT_EQ(s.y, 12); EXPECT_EQ(s.width, 13); EXPECT_EQ(s.height, 14);
    SkinPlace b = SkinReadButtonPlace(path_, 5);
    EXPECT_EQ(b.x, 1); EXPECT_EQ(b.y, 2); EXPECT_EQ(b.width, 3); EXPECT_EQ(b.height, 4);
    SkinReadButtonStrip(path_, 5, text);
    EXPECT_STREQ(text, "b5.bmp");
    EXPECT_EQ(SkinReadMemoryTextPlace(path_).x, -7);  // negative numbers as written
    SkinPlace model = SkinReadModelTextPlace(path_), brand = SkinReadBrandTextPlace(path_);
    EXPECT_EQ(brand.x, 5); EXPECT_EQ(brand.y, 6); EXPECT_EQ(model.x, 7); EXPECT_EQ(model.y, 8);
    SkinPlace list = SkinReadProfileListPlace(path_);
    EXPECT_EQ(list.x, 21); EXPECT_EQ(list.y, 22); EXPECT_EQ(list.width, 23);
}

TEST_F(SkinConfigTest, MissingValuesFallBack) {
    char text[SKIN_BITMAP_SIZE];
    for (const char* path : {(const char*)path_, (const char*)missing_}) {
        SkinPlace s = SkinReadSliderPlace(path, 1);  // no [gslider1] in the file
        EXPECT_EQ(s.x, -1); EXPECT_EQ(s.y, -1); EXPECT_EQ(s.width, -1); EXPECT_EQ(s.height, -1);
        SkinReadButtonStrip(path, 1, text);
        EXPECT_STREQ(text, "/");
        EXPECT_TRUE(SkinTextMissing(text));
        EXPECT_EQ(SkinReadEngineTextPlace(path).y, -1);
    }
    SkinReadMaskPath(missing_, text);
    EXPECT_STREQ(text, "/");
}

TEST_F(SkinConfigTest, ColourUsesTheLowByteOfEachValue) {
    SkinColor c = SkinReadTextColor(path_);
    EXPECT_EQ(c.red, 300); EXPECT_EQ(c.green, 16); EXPECT_EQ(c.blue, -2);
    EXPECT_EQ(SkinColorRef(c), RGB(300 & 0xFF, 16, 0xFE));
    // A missing [color] reads -1 three times: white text.
    SkinColor none = SkinReadTextColor(missing_);
    EXPECT_EQ(none.red, -1);
    EXPECT_EQ(SkinColorRef(none), RGB(255, 255, 255));
}

TEST_F(SkinConfigTest, ModelNameKeyIsLowercaseHexWithoutLeadingZeros) {
    char model[SKIN_MODEL_SIZE];
    SkinReadModelName(path_, 0x9A05, model);
    EXPECT_STREQ(model, "ZK-9600 AGP");
    SkinReadModelName(path_, 0x0A12, model);
    EXPECT_STREQ(model, "ZK-9250 Velo");
    SkinReadModelName(path_, 0x1234, model);
    EXPECT_STREQ(model, "/");
}

TEST_F(SkinConfigTest, LongValuesAreCutToTheirField) {
    const std::string long120(120, 'x'), long25(25, 'y'), long30(30, 'z');
    ASSERT_TRUE(dir_.Write("long.ini", "[main]\r\nwindows_mask=" + long120 + "\r\n[table]\r\na12=" + long30 +
                               "\r\n[gslider]\r\nthumb_h=" + long25 + "\r\nthumb_v=a\r\nchannel_h=b\r\nchannel_v=c\r\n"));
    char path[SKIN_PATH_SIZE];
    SkinFullPath(dir_.Path("long.ini").c_str(), path);
    char text[SKIN_BITMAP_SIZE];
    SkinReadMaskPath(path, text);
    EXPECT_EQ(std::string(text), long120.substr(0, 99));
    char model[SKIN_MODEL_SIZE];
    SkinReadModelName(path, 0xA12, model);
    EXPECT_EQ(std::string(model), long30.substr(0, 19));
    SkinSliderPictures pics;
    EXPECT_EQ(SkinReadSliderPictures(path, &pics), 0);
    EXPECT_EQ(std::string(pics.thumbH), long25.substr(0, 19));  // now names another file
}

TEST_F(SkinConfigTest, FullPathIsExpandedAgainstTheCurrentDirectory) {
    char old[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, old);
    SetCurrentDirectoryA(dir_.Dir().c_str());
    char full[SKIN_PATH_SIZE];
    SkinFullPath("skin.ini", full);
    SetCurrentDirectoryA(old);
    char expected[MAX_PATH];
    GetFullPathNameA(dir_.Path("skin.ini").c_str(), MAX_PATH, expected, nullptr);
    EXPECT_STREQ(full, expected);
    char text[SKIN_BITMAP_SIZE];
    SkinReadFacePath(full, text);  // still the same file after the directory changed back
    EXPECT_STREQ(text, "f.bmp");
}

TEST_F(SkinConfigTest, PathTooLongForItsFieldReadsAsNoFile) {
    const std::string longPath = "C:\\" + std::string(120, 'd') + "\\skin.ini";
    char full[SKIN_PATH_SIZE];
    SkinFullPath(longPath.c_str(), full);
    EXPECT_STREQ(full, "");
    EXPECT_EQ(SkinReadInt(full, "gslider1", "position_x"), -1);
    char text[SKIN_BITMAP_SIZE];
    SkinReadFacePath(full, text);
    EXPECT_STREQ(text, "/");
}

TEST_F(SkinConfigTest, SliderPicturesAllPresentShowNothing) {
    SkinSliderPictures pics;
    EXPECT_EQ(SkinReadSliderPictures(path_, &pics), 0);
    EXPECT_STREQ(pics.thumbH, "th.bmp");
    EXPECT_STREQ(pics.thumbV, "tv.bmp");
    EXPECT_STREQ(pics.channelH, "ch.bmp");
    EXPECT_STREQ(pics.channelV, "cv.bmp");
    int code;
    EXPECT_FALSE(TakeQuitRequest(&code));
}

TEST_F(SkinConfigTest, EachMissingSliderPictureIsReportedAndQuits) {
    ASSERT_TRUE(dir_.Write("nov.ini", "[gslider]\r\nthumb_h=th.bmp\r\nchannel_h=ch.bmp\r\nchannel_v=cv.bmp\r\n"));
    char path[SKIN_PATH_SIZE];
    SkinFullPath(dir_.Path("nov.ini").c_str(), path);
    SkinSliderPictures pics;
    int missing;
    std::vector<SeenMessageBox> seen;
    {
        MessageBoxAnswerer answer;
        missing = SkinReadSliderPictures(path, &pics);
        seen = answer.Seen();
    }
    EXPECT_EQ(missing, 1);
    EXPECT_STREQ(pics.thumbV, "/");
    EXPECT_STREQ(pics.channelV, "cv.bmp");  // reading went on after the message
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "error");
    EXPECT_EQ(seen[0].text, "Setting file not found.");
    int code = 0;
    ASSERT_TRUE(TakeQuitRequest(&code));
    EXPECT_EQ(code, -1);
}

TEST_F(SkinConfigTest, NoSkinFileReportsAllFourPictures) {
    SkinSliderPictures pics;
    int missing;
    {
        MessageBoxAnswerer answer;
        missing = SkinReadSliderPictures(missing_, &pics);
        EXPECT_GE(answer.Seen().size(), 1u);
    }
    EXPECT_EQ(missing, 4);
    int code = 0;
    ASSERT_TRUE(TakeQuitRequest(&code));
    EXPECT_EQ(code, -1);
}

// Where a bitmap name of the skin file leads: relative names to the skin file's
// folder, absolute ones as written, never past a MAX_PATH buffer.
TEST(SkinBitmapPathTest, RelativeNamesJoinTheSkinFolderAbsoluteOnesStay) {
    const char* skin = "C:\\Program Files\\Zyk\\Velotune\\Config_USA.INI";
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        {"skin\\face_usa.bmp", "C:\\Program Files\\Zyk\\Velotune\\skin\\face_usa.bmp"},
        {"m.bmp", "C:\\Program Files\\Zyk\\Velotune\\m.bmp"},
        {"..\\m.bmp", "C:\\Program Files\\Zyk\\Velotune\\..\\m.bmp"},
        {"D:\\art\\m.bmp", "D:\\art\\m.bmp"},
        {"d:m.bmp", "d:m.bmp"},  // drive-relative: the drive's own current folder
        {"\\art\\m.bmp", "\\art\\m.bmp"},
        {"\\\\server\\share\\m.bmp", "\\\\server\\share\\m.bmp"},
        {"/", "/"},  // the missing-value text stays a name that loads nothing
        {"", "C:\\Program Files\\Zyk\\Velotune\\"},
    };
    char out[MAX_PATH];
    for (const auto& c : cases) {
        SkinBitmapPath(skin, c.name, out);
        EXPECT_STREQ(out, c.expected) << c.name;
    }
    // A skin path without any folder (never a full path) leaves the name as written.
    SkinBitmapPath("Config_USA.INI", "skin\\m.bmp", out);
    EXPECT_STREQ(out, "skin\\m.bmp");
    SkinBitmapPath("", "skin\\m.bmp", out);
    EXPECT_STREQ(out, "skin\\m.bmp");
}

TEST(SkinBitmapPathTest, BigFiveFolderWhoseTrailByteIsABackslashStaysWhole) {
    // "\xA5\x5C" (gong) and "\xB3\x5C" (xu) are one Big5 character each; their second
    // byte is the backslash's.
    const std::string folder = "C:\\Zyk\\\xA5\x5C\xB3\x5C";
    char out[MAX_PATH];
    SkinBitmapPathInCodePage(950, (folder + "\\Config_CHT.INI").c_str(), "skin\\m.bmp", out);
    EXPECT_EQ(std::string(out), folder + "\\skin\\m.bmp");
    // A skin file named by such characters: its folder ends before them.
    SkinBitmapPathInCodePage(950, "C:\\Zyk\\\xA5\x5C.ini", "m.bmp", out);
    EXPECT_STREQ(out, "C:\\Zyk\\m.bmp");
    // The same bytes in a single-byte code page are two characters, a backslash last.
    SkinBitmapPathInCodePage(1252, "C:\\Zyk\\\xA5\x5C.ini", "m.bmp", out);
    EXPECT_STREQ(out, "C:\\Zyk\\\xA5\\m.bmp");
}

TEST(SkinBitmapPathTest, JoinedPathsLongerThanTheBufferLoadNothing) {
    const std::string skin = "C:\\" + std::string(90, 'd') + "\\skin.ini";  // folder: 94
    char out[MAX_PATH];
    const std::string fits(MAX_PATH - 1 - 94, 'n'), over = fits + "n";
    SkinBitmapPath(skin.c_str(), fits.c_str(), out);
    EXPECT_EQ(strlen(out), (size_t)MAX_PATH - 1);
    SkinBitmapPath(skin.c_str(), over.c_str(), out);
    EXPECT_STREQ(out, "");
    // An absolute name of any length that fits is kept.
    const std::string absolute = "C:\\" + std::string(MAX_PATH - 4, 'a');
    SkinBitmapPath(skin.c_str(), absolute.c_str(), out);
    EXPECT_EQ(std::string(out), absolute);
}

}  // namespace
