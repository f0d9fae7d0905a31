// CString: a small ANSI string; CTime / CTimeSpan: local date and time in whole seconds.
#pragma once
#include <windows.h>
#include <string.h>
#include <ctime>

#ifdef GetCurrentTime
#undef GetCurrentTime   // winbase.h maps it to GetTickCount; CTime has its own
#endif

class CString {
public:
    CString() {}
    CString(LPCSTR s) { Assign(s, s ? Length(s) : 0); }
    CString(LPCSTR s, int length) { Assign(s, s && length > 0 ? length : 0); }
    CString(char ch, int repeat = 1);
    CString(const CString& s) { Assign(s.m_data, s.m_length); }
    ~CString();
    CString& operator=(const CString& s) { Assign(s.m_data, s.m_length); return *this; }
    CString& operator=(LPCSTR s) { Assign(s, s ? Length(s) : 0); return *this; }
    CString& operator=(char ch) { Assign(&ch, 1); return *this; }

    // Read access. Never pass a CString itself through "..." (Format, printf):
    // pass (LPCSTR)s or s.c_str().
    operator LPCSTR() const { return m_data; }
    LPCSTR c_str() const { return m_data; }
    int GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }
    void Empty() { Assign("", 0); }
    char GetAt(int i) const { return m_data[i]; }
    char operator[](int i) const { return m_data[i]; }
    void SetAt(int i, char ch) { m_data[i] = ch; }

    CString& operator+=(const CString& s) { Append(s.m_data, s.m_length); return *this; }
    CString& operator+=(LPCSTR s) { if (s) Append(s, Length(s)); return *this; }
    CString& operator+=(char ch) { Append(&ch, 1); return *this; }
    friend CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, LPCSTR b) { CString r(a); r += b; return r; }
    friend CString operator+(LPCSTR a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }

    // strcmp / lstrcmpiA-style results (<0, 0, >0).
    int Compare(LPCSTR s) const;
    int CompareNoCase(LPCSTR s) const;
    friend bool operator==(const CString& a, const CString& b) { return a.SameAs(b); }
    friend bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }
    friend bool operator!=(LPCSTR a, const CString& b) { return !(a == b); }
    // Byte order, the shorter first where one begins the other.
    friend bool operator<(const CString& a, const CString& b) { return a.Order(b) < 0; }

    // printf-style formatting of any length; replaces the contents.
    void Format(LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(LPCSTR format, va_list args);
    // Loads string resource 'id' of the program's module; FALSE (and empty) if absent.
    BOOL LoadString(UINT id);

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first, int count = -1) const;
    int Find(char ch, int start = 0) const;
    int Find(LPCSTR sub, int start = 0) const;
    int ReverseFind(char ch) const;
    CString& MakeUpper();
    CString& MakeLower();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim() { TrimRight(); return TrimLeft(); }
    int Replace(LPCSTR oldText, LPCSTR newText);

    // Direct buffer access, as with the platform's string class: GetBuffer(n) gives room
    // for n characters plus the terminator; ReleaseBuffer(-1) takes the length up to
    // the first NUL, ReleaseBuffer(n) sets it to n.
    LPSTR GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    static int Length(LPCSTR s) { return (int)strlen(s); }
    void Assign(LPCSTR s, int length);
    void Append(LPCSTR s, int length);
    void Reserve(int length);        // room for 'length' characters and the terminator
    void SetLength(int length);      // within the room; writes the terminator
    void Swap(CString& other);
    bool SameAs(const CString& s) const;
    int Order(const CString& s) const;

    static char s_empty[1];          // the text of every string that owns no buffer
    char* m_data = s_empty;
    int m_length = 0;
    int m_capacity = 0;              // characters that fit, without the terminator
};

// A span of whole seconds.
class CTimeSpan {
public:
    CTimeSpan(LONGLONG seconds = 0) : m_span(seconds) {}
    CTimeSpan(LONG days, int hours, int minutes, int seconds)
        : m_span(((LONGLONG)days * 24 + hours) * 3600 + (LONGLONG)minutes * 60 + seconds) {}
    LONGLONG GetTotalSeconds() const { return m_span; }
    LONGLONG GetTotalMinutes() const { return m_span / 60; }
    LONGLONG GetTotalHours() const { return m_span / 3600; }
    LONGLONG GetDays() const { return m_span / 86400; }
    int GetHours() const { return (int)(m_span / 3600 % 24); }
    int GetMinutes() const { return (int)(m_span / 60 % 60); }
    int GetSeconds() const { return (int)(m_span % 60); }
    CTimeSpan operator+(CTimeSpan s) const { return CTimeSpan(m_span + s.m_span); }
    CTimeSpan operator-(CTimeSpan s) const { return CTimeSpan(m_span - s.m_span); }
    bool operator==(CTimeSpan s) const { return m_span == s.m_span; }
    bool operator!=(CTimeSpan s) const { return m_span != s.m_span; }
    bool operator<(CTimeSpan s) const { return m_span < s.m_span; }
    bool operator>(CTimeSpan s) const { return m_span > s.m_span; }
    bool operator<=(CTimeSpan s) const { return m_span <= s.m_span; }
    bool operator>=(CTimeSpan s) const { return m_span >= s.m_span; }
private:
    LONGLONG m_span;
};

// A point in time, whole seconds, read and broken down in local time.
class CTime {
public:
    CTime() : m_time(0) {}
    CTime(time_t t) : m_time(t) {}
    // Local date and time; -1 when the values cannot be represented.
    CTime(int year, int month, int day, int hour, int minute, int second);
    static CTime GetCurrentTime() { return CTime(::time(nullptr)); }

    time_t GetTime() const { return m_time; }
    int GetYear() const { return Local().tm_year + 1900; }
    int GetMonth() const { return Local().tm_mon + 1; }
    int GetDay() const { return Local().tm_mday; }
    int GetHour() const { return Local().tm_hour; }
    int GetMinute() const { return Local().tm_min; }
    int GetSecond() const { return Local().tm_sec; }
    int GetDayOfWeek() const { return Local().tm_wday + 1; }   // 1 = Sunday

    CTimeSpan operator-(const CTime& t) const { return CTimeSpan((LONGLONG)m_time - (LONGLONG)t.m_time); }
    CTime operator+(CTimeSpan s) const { return CTime((time_t)(m_time + s.GetTotalSeconds())); }
    CTime operator-(CTimeSpan s) const { return CTime((time_t)(m_time - s.GetTotalSeconds())); }
    bool operator==(const CTime& t) const { return m_time == t.m_time; }
    bool operator!=(const CTime& t) const { return m_time != t.m_time; }
    bool operator<(const CTime& t) const { return m_time < t.m_time; }
    bool operator>(const CTime& t) const { return m_time > t.m_time; }
    bool operator<=(const CTime& t) const { return m_time <= t.m_time; }
    bool operator>=(const CTime& t) const { return m_time >= t.m_time; }

private:
    struct tm Local() const;
    time_t m_time;
};
