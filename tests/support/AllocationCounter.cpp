#include "tests/support/AllocationCounter.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace
{
std::atomic<bool> gCounting{false};
std::atomic<long> gCount{0};

#ifdef _WIN32
std::atomic<DWORD> gThread{0};
bool OnCountedThread()
{
    return gCounting.load(std::memory_order_relaxed) && GetCurrentThreadId() == gThread.load();
}
void MarkThisThread() { gThread = GetCurrentThreadId(); }
#else
pthread_t gThread{};
bool OnCountedThread()
{
    return gCounting.load(std::memory_order_relaxed) && pthread_equal(pthread_self(), gThread);
}
void MarkThisThread() { gThread = pthread_self(); }
#endif

void Seen()
{
    if (OnCountedThread())
        gCount.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

#if defined(_WIN32)

// The module's import table entries of these functions are pointed at counting stand-ins
// that forward to the originals.
namespace
{
using MallocFn = void*(__cdecl*)(size_t);
using CallocFn = void*(__cdecl*)(size_t, size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);
using AlignedMallocFn = void*(__cdecl*)(size_t, size_t);
using StrdupFn = char*(__cdecl*)(const char*);
using HeapAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
using HeapReAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, LPVOID, SIZE_T);
using LocalAllocFn = HLOCAL(WINAPI*)(UINT, SIZE_T);
using GlobalAllocFn = HGLOBAL(WINAPI*)(UINT, SIZE_T);

MallocFn gMalloc;
CallocFn gCalloc;
ReallocFn gRealloc;
AlignedMallocFn gAlignedMalloc;
StrdupFn gStrdup;
HeapAllocFn gHeapAlloc;
HeapReAllocFn gHeapReAlloc;
LocalAllocFn gLocalAlloc;
GlobalAllocFn gGlobalAlloc;

void* __cdecl CountedMalloc(size_t n)
{
    Seen();
    return gMalloc(n);
}
void* __cdecl CountedCalloc(size_t c, size_t n)
{
    Seen();
    return gCalloc(c, n);
}
void* __cdecl CountedRealloc(void* p, size_t n)
{
    Seen();
    return gRealloc(p, n);
}
void* __cdecl CountedAlignedMalloc(size_t n, size_t a)
{
    Seen();
    return gAlignedMalloc(n, a);
}
char* __cdecl CountedStrdup(const char* s)
{
    Seen();
    return gStrdup(s);
}
LPVOID WINAPI CountedHeapAlloc(HANDLE h, DWORD f, SIZE_T n)
{
    Seen();
    return gHeapAlloc(h, f, n);
}
LPVOID WINAPI CountedHeapReAlloc(HANDLE h, DWORD f, LPVOID p, SIZE_T n)
{
    Seen();
    return gHeapReAlloc(h, f, p, n);
}
HLOCAL WINAPI CountedLocalAlloc(UINT f, SIZE_T n)
{
    Seen();
    return gLocalAlloc(f, n);
}
HGLOBAL WINAPI CountedGlobalAlloc(UINT f, SIZE_T n)
{
    Seen();
    return gGlobalAlloc(f, n);
}

struct Redirect
{
    const char* name;
    void** original;
    void* counted;
};

const Redirect kRedirects[] = {
    {"malloc", reinterpret_cast<void**>(&gMalloc), reinterpret_cast<void*>(&CountedMalloc)},
    {"calloc", reinterpret_cast<void**>(&gCalloc), reinterpret_cast<void*>(&CountedCalloc)},
    {"realloc", reinterpret_cast<void**>(&gRealloc), reinterpret_cast<void*>(&CountedRealloc)},
    {"_aligned_malloc", reinterpret_cast<void**>(&gAlignedMalloc),
     reinterpret_cast<void*>(&CountedAlignedMalloc)},
    {"_strdup", reinterpret_cast<void**>(&gStrdup), reinterpret_cast<void*>(&CountedStrdup)},
    {"strdup", reinterpret_cast<void**>(&gStrdup), reinterpret_cast<void*>(&CountedStrdup)},
    {"HeapAlloc", reinterpret_cast<void**>(&gHeapAlloc), reinterpret_cast<void*>(&CountedHeapAlloc)},
    {"HeapReAlloc", reinterpret_cast<void**>(&gHeapReAlloc), reinterpret_cast<void*>(&CountedHeapReAlloc)},
    {"LocalAlloc", reinterpret_cast<void**>(&gLocalAlloc), reinterpret_cast<void*>(&CountedLocalAlloc)},
    {"GlobalAlloc", reinterpret_cast<void**>(&gGlobalAlloc), reinterpret_cast<void*>(&CountedGlobalAlloc)},
};

void PatchEntry(void** entry, void* replacement)
{
    DWORD oldProtection = 0;
    VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &oldProtection);
    *entry = replacement;
    VirtualProtect(entry, sizeof(void*), oldProtection, &oldProtection);
}

bool RedirectImports(HMODULE module)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return false;
    int patched = 0;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name; ++import)
    {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots)
        {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const char* name =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            for (const Redirect& redirect : kRedirects)
            {
                void** slot = reinterpret_cast<void**>(&slots->u1.Function);
                if (std::strcmp(name, redirect.name) != 0)
                    continue;
                if (*slot != redirect.counted) // not redirected by an earlier Install
                {
                    *redirect.original = *slot;
                    PatchEntry(slot, redirect.counted);
                }
                ++patched;
            }
        }
    }
    return patched > 0;
}
} // namespace

bool AllocationCounter::Install(const void* addressInModule)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(addressInModule), &module))
        return false;
    return RedirectImports(module);
}

#elif defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)

// The sanitizers' runtime reports every allocation of its own allocator to this hook.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));

namespace
{
void OnMalloc(const volatile void*, size_t) { Seen(); }
void OnFree(const volatile void*) {}
} // namespace

bool AllocationCounter::Install(const void*)
{
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
    return installed;
}

#else

// The program's own malloc family, in front of the C library's: every library of the process
// (the module and its C++ runtime included) allocates through these.
extern "C"
{
    void* __libc_malloc(size_t);
    void* __libc_calloc(size_t, size_t);
    void* __libc_realloc(void*, size_t);
    void* __libc_memalign(size_t, size_t);

    void* malloc(size_t size)
    {
        Seen();
        return __libc_malloc(size);
    }
    void* calloc(size_t count, size_t size)
    {
        Seen();
        return __libc_calloc(count, size);
    }
    void* realloc(void* pointer, size_t size)
    {
        Seen();
        return __libc_realloc(pointer, size);
    }
    void* memalign(size_t alignment, size_t size)
    {
        Seen();
        return __libc_memalign(alignment, size);
    }
    void* aligned_alloc(size_t alignment, size_t size)
    {
        Seen();
        return __libc_memalign(alignment, size);
    }
    int posix_memalign(void** result, size_t alignment, size_t size)
    {
        Seen();
        void* pointer = __libc_memalign(alignment, size);
        if (!pointer)
            return 12; // ENOMEM
        *result = pointer;
        return 0;
    }
}

bool AllocationCounter::Install(const void*) { return true; }

#endif

void AllocationCounter::Begin()
{
    MarkThisThread();
    gCount = 0;
    gCounting = true;
}

long AllocationCounter::End()
{
    gCounting = false;
    return gCount.load();
}
