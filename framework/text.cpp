// CString and CTime.
#include "text.h"
#include "wnd.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cctype>

int CString::Compare(LPCSTR s) const
{
    return std::strcmp(m_s.c_str(), s ? s : "");
}

int CString::CompareNoCase(LPCSTR s) const
{
    return ::lstrcmpiA(m_s.c_str(), s ? s : "");
}

void CString::Format(LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(LPCSTR format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        m_s.clear();
        return;
    }
    std::string result((size_t)length + 1, '\0');
    std::vsnprintf(&result[0], result.size(), format, args);
    result.resize((size_t)length);
    m_s.swap(result);
}

BOOL CString::LoadString(UINT id)
{
    // The program's strings are short; longer ones are cut to the buffer.
    char buffer[1024];
    int length = ::LoadStringA(GetResourceHandle(), id, buffer, (int)sizeof buffer);
    if (length <= 0) {
        m_s.clear();
        return FALSE;
    }
    m_s.assign(buffer, (size_t)length);
    return TRUE;
}

CString CString::Left(int count) const
{
    if (count <= 0) return CString();
    return CString(m_s.substr(0, (size_t)count).c_str());
}

CString CString::Right(int count) const
{
    if (count <= 0) return CString();
    if ((size_t)count >= m_s.size()) return *this;
    return CString(m_s.substr(m_s.size() - (size_t)count).c_str());
}

CString CString::Mid(int first, int count) const
{
    if (first < 0) first = 0;
    if ((size_t)first >= m_s.size()) return CString();
    if (count < 0) return CString(m_s.substr((size_t)first).c_str());
    return CString(m_s.substr((size_t)first, (size_t)count).c_str());
}

int CString::Find(char ch, int start) const
{
    if (start < 0) start = 0;
    size_t at = m_s.find(ch, (size_t)start);
    return at == std::string::npos ? -1 : (int)at;
}

int CString::Find(LPCSTR sub, int start) const
{
    if (start < 0) start = 0;
    if (!sub || (size_t)start > m_s.size()) return -1;
    size_t at = m_s.find(sub, (size_t)start);
    return at == std::string::npos ? -1 : (int)at;
}

int CString::ReverseFind(char ch) const
{
    size_t at = m_s.rfind(ch);
    return at == std::string::npos ? -1 : (int)at;
}

CString& CString::MakeUpper()
{
    for (char& c : m_s) c = (char)std::toupper((unsigned char)c);
    return *this;
}

CString& CString::MakeLower()
{
    for (char& c : m_s) c = (char)std::tolower((unsigned char)c);
    return *this;
}

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_s.size() && std::isspace((unsigned char)m_s[i])) ++i;
    m_s.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    size_t n = m_s.size();
    while (n > 0 && std::isspace((unsigned char)m_s[n - 1])) --n;
    m_s.resize(n);
    return *this;
}

int CString::Replace(LPCSTR oldText, LPCSTR newText)
{
    if (!oldText || !*oldText) return 0;
    std::string with = newText ? newText : "";
    size_t length = std::strlen(oldText);
    int count = 0;
    for (size_t at = m_s.find(oldText); at != std::string::npos; at = m_s.find(oldText, at + with.size())) {
        m_s.replace(at, length, with);
        ++count;
    }
    return count;
}

LPSTR CString::GetBuffer(int minLength)
{
    if (minLength < 0) minLength = 0;
    if (m_s.size() < (size_t)minLength) m_s.resize((size_t)minLength, '\0');
    return &m_s[0];   // m_s.size() + 1 bytes are writable (the terminator included)
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        m_s.resize(std::strlen(m_s.c_str()));
    else if ((size_t)newLength <= m_s.size())
        m_s.resize((size_t)newLength);
}

CTime::CTime(int year, int month, int day, int hour, int minute, int second)
{
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    m_time = ::mktime(&t);
}

struct tm CTime::Local() const
{
    struct tm t = {};
    time_t copy = m_time;
    if (struct tm* p = ::localtime(&copy)) t = *p;
    return t;
}
