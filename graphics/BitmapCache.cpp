#include "graphics/BitmapCache.h"

#include "graphics/raster/LICE_IBitmap.h"

BitmapCache& BitmapCache::Instance()
{
    // Destroyed with the module's other static objects, i.e. when the module is unloaded.
    static BitmapCache cache;
    return cache;
}

LICE_IBitmap* BitmapCache::FindOrLoad(int resourceId,
                                      const std::function<std::unique_ptr<LICE_IBitmap>()>& load)
{
    std::lock_guard<std::mutex> guard(mLock);
    std::unique_ptr<LICE_IBitmap>& slot = mBitmaps[resourceId];
    if (!slot)
        slot = load();
    return slot.get();
}

LICE_IBitmap* BitmapCache::Find(int resourceId)
{
    std::lock_guard<std::mutex> guard(mLock);
    const auto found = mBitmaps.find(resourceId);
    return found != mBitmaps.end() ? found->second.get() : nullptr;
}

int BitmapCache::Size()
{
    std::lock_guard<std::mutex> guard(mLock);
    int count = 0;
    for (const auto& entry : mBitmaps)
        count += entry.second ? 1 : 0;
    return count;
}

void BitmapCache::Clear()
{
    std::lock_guard<std::mutex> guard(mLock);
    mBitmaps.clear();
}
