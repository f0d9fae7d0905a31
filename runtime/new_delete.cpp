// operator new and delete over the process heap. A failed plain new ends the program
// as an uncaught out-of-memory error would (abort); the nothrow forms return null.
#include <windows.h>
#include <stdlib.h>
#include <new>

namespace {

void* Allocate(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

void* AllocateOrAbort(size_t size)
{
    void* p = Allocate(size);
    if (!p) abort();
    return p;
}

void Release(void* p)
{
    if (p) HeapFree(GetProcessHeap(), 0, p);
}

}  // namespace

void* operator new(size_t size) { return AllocateOrAbort(size); }
void* operator new[](size_t size) { return AllocateOrAbort(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }

// The tag object the nothrow forms are called with.
const std::nothrow_t std::nothrow{};
