#pragma once
// The module-wide font cache: (size, orientation, style, face) -> font. The quality is not
// part of the key, so styles that differ only in quality share the font made first. Shared
// by every editor of the module behind its own lock; emptied only when the module is
// unloaded (the static instance's destructor), which destroys every cached font.
//
// Threads: the cache's lock guards only the map. The fonts themselves, their glyph caches and
// the font engine's scratch surfaces under them have no locks: fonts are used on one UI
// thread, the thread that runs the editors' windows (hosts run every editor of a module on
// their one UI thread).

#include "graphics/IGraphicsTypes.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

class LICE_CachedFont;

class FontCache
{
public:
    static FontCache& Instance();

    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The font for the style, made on a miss; none when the platform cannot make it.
    // [window thread; takes the cache's lock]
    LICE_CachedFont* FindOrCreate(const TextStyle& style);
    // [any thread; takes the cache's lock]
    int Size();
    // Destroys every cached font. [module unload, or tests]
    void Clear();

private:
    using Key = std::tuple<int32_t, int32_t, int32_t, std::string>;

    std::mutex mLock;
    std::map<Key, std::unique_ptr<LICE_CachedFont>> mFonts;
};
