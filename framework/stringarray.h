// CStringArray: a growing list of strings, as the platform's class of that name.
#pragma once
#include "text.h"

class CStringArray {
public:
    CStringArray() = default;
    CStringArray(const CStringArray&) = delete;
    CStringArray& operator=(const CStringArray&) = delete;
    ~CStringArray() { delete[] m_items; }

    int GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }
    const CString& GetAt(int i) const { return m_items[i]; }
    const CString& operator[](int i) const { return m_items[i]; }
    void RemoveAll() { m_count = 0; }   // the room stays for the next filling
    int Add(const CString& s)
    {
        if (m_count == m_capacity) {
            int capacity = m_capacity ? m_capacity * 2 : 8;
            CString* items = new CString[capacity];
            for (int i = 0; i < m_count; ++i) items[i] = m_items[i];
            delete[] m_items;
            m_items = items;
            m_capacity = capacity;
        }
        m_items[m_count] = s;
        return m_count++;
    }

private:
    CString* m_items = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};
