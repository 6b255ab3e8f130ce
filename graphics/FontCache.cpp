#include "graphics/FontCache.h"

#include "graphics/raster/LICE_CachedFont.h"
#include "graphics/raster/LiceFontHandle.h"

namespace
{
constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;
constexpr int kTenthsPerDegree = 10;

LiceFontRequest RequestFor(const TextStyle& style)
{
    LiceFontRequest request;
    request.height = style.size;
    request.escapement = style.orientation * kTenthsPerDegree;
    request.weight = style.style == TextStyle::kBold ? kBoldWeight : kNormalWeight;
    request.italic = style.style == TextStyle::kItalic;
    request.quality = style.quality;
    request.face = style.face;
    return request;
}
} // namespace

FontCache& FontCache::Instance()
{
    // Destroyed with the module's other static objects, i.e. when the module is unloaded.
    static FontCache cache;
    return cache;
}

FontCache::FontCache() = default;
FontCache::~FontCache() = default;

LICE_CachedFont* FontCache::FindOrCreate(const TextStyle& style)
{
    const Key key(style.size, style.orientation, style.style, std::string(style.face));
    std::lock_guard<std::mutex> guard(mLock);
    auto found = mFonts.find(key);
    if (found != mFonts.end())
        return found->second.get();
    const LICE_HFONT handle = LiceCreateFontHandle(RequestFor(style));
    if (!handle)
        return nullptr;
    auto font = std::make_unique<LICE_CachedFont>();
    font->SetFromFontHandle(handle, LICE_FontOwnsHandle | LICE_FontAllowDirectDraw);
    LICE_CachedFont* made = font.get();
    mFonts.emplace(key, std::move(font));
    return made;
}

int FontCache::Size()
{
    std::lock_guard<std::mutex> guard(mLock);
    return static_cast<int>(mFonts.size());
}

void FontCache::Clear()
{
    std::lock_guard<std::mutex> guard(mLock);
    mFonts.clear();
}
