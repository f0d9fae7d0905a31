// CString: a small ANSI string; CTime / CTimeSpan: points in time and spans, in seconds.
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
    CString(char ch, int repeat);
    CString(const CString& s) { Assign(s.m_data, s.m_length); }
    ~CString();
    CString& operator=(const CString& s) { Assign(s.m_data, s.m_length); return *this; }
    CString& operator=(LPCSTR s) { Assign(s, s ? Length(s) : 0); return *this; }

    // Read access. Never pass a CString itself through "..." (printf): pass (LPCSTR)s
    // or s.c_str().
    operator LPCSTR() const { return m_data; }
    LPCSTR c_str() const { return m_data; }
    int GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }
    void Empty() { Assign("", 0); }

    CString& operator+=(const CString& s) { Append(s.m_data, s.m_length); return *this; }
    CString& operator+=(LPCSTR s) { if (s) Append(s, Length(s)); return *this; }
    friend CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, LPCSTR b) { CString r(a); r += b; return r; }
    friend CString operator+(LPCSTR a, const CString& b) { CString r(a); r += b; return r; }

    // strcmp-style result (<0, 0, >0).
    int Compare(LPCSTR s) const { return strcmp(m_data, s ? s : ""); }
    friend bool operator==(const CString& a, const CString& b) { return a.SameAs(b); }
    friend bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }
    friend bool operator!=(LPCSTR a, const CString& b) { return !(a == b); }
    // Byte order, the shorter first where one begins the other.
    friend bool operator<(const CString& a, const CString& b) { return a.Order(b) < 0; }

    // Loads string resource 'id' of the program's module; FALSE (and empty) if absent.
    BOOL LoadString(UINT id);
    // Index of the first 'ch' at or after 'start', or -1.
    int Find(char ch, int start = 0) const;

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
    LONGLONG GetTotalSeconds() const { return m_span; }
private:
    LONGLONG m_span;
};

// A point in time, whole seconds.
class CTime {
public:
    CTime() : m_time(0) {}
    CTime(time_t t) : m_time(t) {}
    static CTime GetCurrentTime() { return CTime(::time(nullptr)); }

    CTimeSpan operator-(const CTime& t) const { return CTimeSpan((LONGLONG)m_time - (LONGLONG)t.m_time); }

private:
    time_t m_time;
};
