// CString and CStringArray: growth, texts taken from the string itself, searching, the
// buffer protocol and ordering; CTime spans.
#include <gtest/gtest.h>

#include <stdio.h>
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
    EXPECT_TRUE(CString(nullptr).IsEmpty());
    EXPECT_TRUE(CString("abc", 0).IsEmpty());
    EXPECT_TRUE(CString('x', 0).IsEmpty());
    EXPECT_STREQ("xxx", CString('x', 3).c_str());
}

TEST(CStringTest, AppendingItsOwnTextSurvivesTheBufferMoving) {
    CString s("abc");
    for (int i = 0; i < 6; ++i) s += s;   // each round outgrows the buffer at some point
    EXPECT_EQ(3 * 64, s.GetLength());
    EXPECT_EQ(std::string(64 * 3, 'a').size(), (size_t)s.GetLength());
    EXPECT_EQ(0, strncmp("abcabc", s.c_str(), 6));
    CString t("0123456789");
    t += t.c_str() + 5;                    // a pointer into its own buffer
    EXPECT_STREQ("012345678956789", t.c_str());
    t = t.c_str() + 10;                    // assigned from inside itself
    EXPECT_STREQ("56789", t.c_str());
    CString u(t);
    u = u;
    EXPECT_STREQ("56789", u.c_str());
}

TEST(CStringTest, SearchesStayInsideTheText) {
    CString s("Hello, world");
    EXPECT_EQ(2, s.Find('l'));
    EXPECT_EQ(10, s.Find('l', 4));
    EXPECT_EQ(0, s.Find('H', -3));
    EXPECT_EQ(-1, s.Find('l', 11));
    EXPECT_EQ(-1, s.Find('\0'));   // the terminator is not part of the text
    CString cut("abc\\def", 3);
    EXPECT_EQ(-1, cut.Find('\\'));
    EXPECT_STREQ("abc", cut.c_str());
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

TEST(CStringTest, OrderIsByteOrderWithTheShorterFirst) {
    EXPECT_TRUE(CString("abc") < CString("abd"));
    EXPECT_TRUE(CString("ab") < CString("abc"));
    EXPECT_FALSE(CString("abc") < CString("ab"));
    EXPECT_TRUE(CString("Z") < CString("a"));
    EXPECT_TRUE(CString("\x7f") < CString("\x80"));   // unsigned bytes, as memcmp
    EXPECT_TRUE(CString("abc") == "abc");
    EXPECT_TRUE("abc" != CString("abd"));
    EXPECT_GT(CString("abd").Compare("abc"), 0);
    EXPECT_EQ(0, CString().Compare(nullptr));
}

TEST(CStringArrayTest, KeepsEveryStringInOrderAcrossGrowth) {
    CStringArray list;
    for (int i = 0; i < 100; ++i) {
        char s[16];
        snprintf(s, sizeof s, "item%03d", i);
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

TEST(CTimeTest, DifferencesAreWholeSecondsEitherWay) {
    CTime start(1000), end(1065);
    EXPECT_EQ(65, (end - start).GetTotalSeconds());
    EXPECT_EQ(-65, (start - end).GetTotalSeconds());
    CTime now = CTime::GetCurrentTime();
    EXPECT_GE((now - CTime(0)).GetTotalSeconds(), 0);
}
