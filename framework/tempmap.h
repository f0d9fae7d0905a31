// Internal: temporary wrapper objects for handles that no object is bound to.
//
// A wrapper may be held by any handler up the stack, so it is dropped only when the
// message loop that was running when it was last handed out is idle again: every
// handler that loop called has returned by then. Loops are numbered by nesting depth
// (the application's loop 0, each modal loop one deeper than the loop it runs in).
#pragma once
#include <string.h>

int& TempLoopDepth();   // depth of the innermost running loop

// The handful of wrappers alive at a time are kept in an array searched from the end.
template <class Handle, class Object>
class TempMap {
public:
    TempMap() = default;
    TempMap(const TempMap&) = delete;
    TempMap& operator=(const TempMap&) = delete;
    ~TempMap()
    {
        Purge(0);
        delete[] m_entries;
        m_entries = nullptr;
        m_capacity = 0;
    }
    // The wrapper of h, made on first use; the same object until it is purged.
    Object* Get(Handle h)
    {
        int depth = TempLoopDepth();
        for (int i = m_count - 1; i >= 0; --i) {
            Entry& entry = m_entries[i];
            if (entry.handle == h) {
                if (depth < entry.depth) entry.depth = depth;
                return entry.object;
            }
        }
        Object* object = new Object;
        if (m_count == m_capacity) Grow();
        m_entries[m_count++] = Entry{h, object, depth};
        return object;
    }
    // Drops the wrappers last handed out at loop depth 'fromDepth' or deeper.
    void Purge(int fromDepth)
    {
        for (int i = 0; i < m_count;) {
            if (m_entries[i].depth >= fromDepth) {
                Object* object = m_entries[i].object;
                memmove(&m_entries[i], &m_entries[i + 1], (size_t)(m_count - i - 1) * sizeof(Entry));
                --m_count;
                delete object;
            } else {
                ++i;
            }
        }
    }
private:
    struct Entry {
        Handle handle;
        Object* object;
        int depth;
    };
    void Grow()
    {
        int capacity = m_capacity ? m_capacity * 2 : 16;
        Entry* entries = new Entry[(size_t)capacity];
        if (m_count) memcpy(entries, m_entries, (size_t)m_count * sizeof(Entry));
        delete[] m_entries;
        m_entries = entries;
        m_capacity = capacity;
    }
    Entry* m_entries = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};

// Both maps (windows and device contexts).
void PurgeTempMaps(int fromDepth);
void PurgeTempDCs(int fromDepth);

// Marks a modal loop: one level deeper while it exists.
struct ModalLoopLevel {
    ModalLoopLevel() { depth = ++TempLoopDepth(); }
    ~ModalLoopLevel() { --TempLoopDepth(); }
    int depth;
};
