// Internal: temporary wrapper objects for handles that no object is bound to.
//
// A wrapper may be held by any handler up the stack, so it is dropped only when the
// message loop that was running when it was last handed out is idle again: every
// handler that loop called has returned by then. Loops are numbered by nesting depth
// (the application's loop 0, each modal loop one deeper than the loop it runs in).
#pragma once
#include <map>

int& TempLoopDepth();   // depth of the innermost running loop on this thread

template <class Handle, class Object>
class TempMap {
public:
    ~TempMap() { Purge(0); }
    // The wrapper of h, made on first use; the same object until it is purged.
    Object* Get(Handle h)
    {
        Entry& entry = m_map[h];
        int depth = TempLoopDepth();
        if (!entry.object) {
            entry.object = new Object;
            entry.depth = depth;
        } else if (depth < entry.depth) {
            entry.depth = depth;
        }
        return entry.object;
    }
    // Drops the wrappers last handed out at loop depth 'fromDepth' or deeper.
    void Purge(int fromDepth)
    {
        for (auto it = m_map.begin(); it != m_map.end();) {
            if (it->second.depth >= fromDepth) {
                delete it->second.object;
                it = m_map.erase(it);
            } else {
                ++it;
            }
        }
    }
private:
    struct Entry {
        Object* object = nullptr;
        int depth = 0;
    };
    std::map<Handle, Entry> m_map;
};

// Both maps (windows and device contexts) of this thread.
void PurgeTempMaps(int fromDepth);
void PurgeTempDCs(int fromDepth);

// Marks a modal loop: one level deeper while it exists.
struct ModalLoopLevel {
    ModalLoopLevel() { depth = ++TempLoopDepth(); }
    ~ModalLoopLevel() { --TempLoopDepth(); }
    int depth;
};
