// CString and CStringArray: growth, texts taken from the string itself, searching and
// replacing, the buffer protocol, formatting beyond any fixed buffer, and ordering.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "stringarray.h"
#include "text.h"

TEST(CStringTest, EmptyStringsAreUsableAndEqual) {
    CString a, b("");
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_STREQ("", a.c_str());
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a < b);
    EXPECT_EQ(-1, a.Find('x'));
    EXPECT_EQ(0, a.Find(""));
    EXPECT_EQ(-1, a.ReverseFind('x'));
    EXPECT_TRUE(a.Mid(3).IsEmpty());
    EXPECT_TRUE(CString(nullptr).IsEmpty());
    EXPECT_TRUE(CString('x', 0).IsEmpty());
}

TEST(CStringTest, AppendingItsOwnTextSurvivesTheBufferMoving) {
    CString s("abc");
    for (int i = 0; i < 6; ++i) s += s;   // each round outgrows the buffer at some point
    EXPECT_EQ(3 * 64, s.GetLength());
    EXPECT_EQ(std::string(64 * 3, 'a').size(), (size_t)s.GetLength());
    EXPECT_STREQ("abcabc", s.Left(6).c_str());
    CString t("0123456789");
    t += t.c_str() + 5;                    // a pointer into its own buffer
    EXPECT_STREQ("012345678956789", t.c_str());
    t = t.c_str() + 10;                    // assigned from inside itself
    EXPECT_STREQ("56789", t.c_str());
    CString u(t);
    u = u;
    EXPECT_STREQ("56789", u.c_str());
}

TEST(CStringTest, PiecesAndSearchesStayInsideTheText) {
    CString s("Hello, world");
    EXPECT_STREQ("Hello", s.Left(5).c_str());
    EXPECT_STREQ("Hello, world", s.Left(99).c_str());
    EXPECT_STREQ("world", s.Right(5).c_str());
    EXPECT_STREQ("Hello, world", s.Right(99).c_str());
    EXPECT_STREQ("lo, w", s.Mid(3, 5).c_str());
    EXPECT_STREQ("world", s.Mid(7, 99).c_str());
    EXPECT_STREQ("Hello, world", s.Mid(-2).c_str());
    EXPECT_EQ(2, s.Find('l'));
    EXPECT_EQ(10, s.Find('l', 4));
    EXPECT_EQ(10, s.ReverseFind('l'));
    EXPECT_EQ(7, s.Find("wor"));
    EXPECT_EQ(-1, s.Find("wor", 8));
    EXPECT_EQ(12, s.Find("", 12));
    EXPECT_EQ(-1, s.Find("", 13));
    EXPECT_EQ(-1, s.Find("world!"));
}

TEST(CStringTest, ReplaceCountsEachPlaceAndDoesNotRescanTheNewText) {
    CString s("a.b.c");
    EXPECT_EQ(2, s.Replace(".", ".."));
    EXPECT_STREQ("a..b..c", s.c_str());
    EXPECT_EQ(1, s.Replace("b", ""));
    EXPECT_STREQ("a....c", s.c_str());
    EXPECT_EQ(2, s.Replace("..", "x"));
    EXPECT_STREQ("axxc", s.c_str());
    EXPECT_EQ(0, s.Replace("", "y"));
    EXPECT_EQ(0, s.Replace("q", "y"));
    EXPECT_STREQ("axxc", s.c_str());
}

TEST(CStringTest, TrimmingAndCase) {
    CString s(" \t Mixed Case \r\n");
    s.Trim();
    EXPECT_STREQ("Mixed Case", s.c_str());
    EXPECT_STREQ("MIXED CASE", CString(s).MakeUpper().c_str());
    EXPECT_STREQ("mixed case", CString(s).MakeLower().c_str());
    CString blank("   ");
    EXPECT_TRUE(blank.TrimLeft().IsEmpty());
}

TEST(CStringTest, BufferProtocolTakesTheLengthBackAsTold) {
    CString s;
    char* p = s.GetBuffer(10);     // room for 10 and the NUL, all zero
    EXPECT_EQ(std::string(11, '\0'), std::string(p, 11));
    memcpy(p, "0123456789", 11);
    s.ReleaseBuffer();
    EXPECT_STREQ("0123456789", s.c_str());
    CString t("abc");
    p = t.GetBuffer(8);
    EXPECT_STREQ("abc", p);
    strcpy(p, "abcdefgh");
    t.ReleaseBuffer();
    EXPECT_EQ(8, t.GetLength());
    p = t.GetBuffer(0);
    p[2] = '\0';
    t.ReleaseBuffer();
    EXPECT_STREQ("ab", t.c_str());
    EXPECT_EQ(2, t.GetLength());
    t.GetBuffer(5);
    t.ReleaseBuffer(1);
    EXPECT_STREQ("a", t.c_str());
    t.ReleaseBuffer(7);   // longer than the text: left as it is
    EXPECT_STREQ("a", t.c_str());
}

TEST(CStringTest, FormatHasNoLengthLimit) {
    CString s;
    std::string big(5000, 'z');
    s.Format("[%s|%d|%x]", big.c_str(), -42, 255u);
    EXPECT_EQ(5000 + 9, s.GetLength());
    EXPECT_EQ("[" + big + "|-42|ff]", std::string(s.c_str()));
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringTest, OrderIsByteOrderWithTheShorterFirst) {
    EXPECT_TRUE(CString("abc") < CString("abd"));
    EXPECT_TRUE(CString("ab") < CString("abc"));
    EXPECT_FALSE(CString("abc") < CString("ab"));
    EXPECT_TRUE(CString("Z") < CString("a"));
    EXPECT_TRUE(CString("\x7f") < CString("\x80"));   // unsigned bytes, as memcmp
    EXPECT_TRUE(CString("abc") == "abc");
    EXPECT_TRUE("abc" != CString("abd"));
    EXPECT_EQ(0, CString("ABC").CompareNoCase("abc"));
}

TEST(CStringArrayTest, KeepsEveryStringInOrderAcrossGrowth) {
    CStringArray list;
    for (int i = 0; i < 100; ++i) {
        CString s;
        s.Format("item%03d", i);
        EXPECT_EQ(i, list.Add(s));
    }
    ASSERT_EQ(100, list.GetSize());
    EXPECT_STREQ("item000", list[0]);
    EXPECT_STREQ("item057", list.GetAt(57));
    EXPECT_STREQ("item099", list[99]);
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    list.Add("again");
    EXPECT_STREQ("again", list[0]);
}
