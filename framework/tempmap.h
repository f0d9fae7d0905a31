// Internal: temporary wrapper objects for handles that no object is bound to.
#pragma once
#include <map>

template <class Handle, class Object>
class TempMap {
public:
    ~TempMap() { Clear(); }
    // The wrapper of h, made on first use; stays the same object until Clear.
    Object* Get(Handle h)
    {
        Object*& slot = m_map[h];
        if (!slot) slot = new Object;
        return slot;
    }
    void Clear()
    {
        for (auto& entry : m_map) delete entry.second;
        m_map.clear();
    }
private:
    std::map<Handle, Object*> m_map;
};

void DeleteTempDCs();
