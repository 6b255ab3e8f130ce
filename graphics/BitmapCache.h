#pragma once
// The module-wide image cache: resource id -> decoded bitmap. Every editor of the module
// shares it, possibly from different window threads, so it sits behind its own lock. It is
// filled on demand and emptied only when the module is unloaded (the static instance's
// destructor), which destroys every cached bitmap.

#include <functional>
#include <map>
#include <memory>
#include <mutex>

class LICE_IBitmap;

class BitmapCache
{
public:
    static BitmapCache& Instance();

    BitmapCache() = default;
    BitmapCache(const BitmapCache&) = delete;
    BitmapCache& operator=(const BitmapCache&) = delete;

    // The cached bitmap for the id; without one, `load` runs (under the cache's lock, so an
    // image is decoded once) and a non-null result is kept. A failed load is not remembered
    // and is tried again at the next request. [any thread; takes the cache's lock]
    LICE_IBitmap* FindOrLoad(int resourceId, const std::function<std::unique_ptr<LICE_IBitmap>()>& load);
    // The cached bitmap for the id, or none; loads nothing. [any thread; takes the cache's lock]
    LICE_IBitmap* Find(int resourceId);
    // [any thread; takes the cache's lock]
    int Size();
    // Destroys every cached bitmap. [module unload, or tests]
    void Clear();

private:
    std::mutex mLock;
    std::map<int, std::unique_ptr<LICE_IBitmap>> mBitmaps;
};
