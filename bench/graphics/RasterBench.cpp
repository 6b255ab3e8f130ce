#include <benchmark/benchmark.h>

#include "graphics/raster/LICE_CachedFont.h"
#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LiceBlit.h"
#include "graphics/raster/LiceFontHandle.h"

namespace
{
constexpr int kEditorWidth = 500;
constexpr int kEditorHeight = 480;

// An image with the mix of opaque, translucent and empty pixels of a knob frame.
void PaintRoundImage(LICE_IBitmap& bitmap)
{
    const int w = bitmap.GetWidth();
    const int h = bitmap.GetHeight();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const int dx = 2 * x - w;
            const int dy = 2 * y - h;
            const int distance = dx * dx + dy * dy;
            const int radius = w * w;
            const int alpha = distance < radius * 3 / 4 ? 255 : distance < radius ? 128 : 0;
            bitmap.GetBits()[y * bitmap.GetRowSpan() + x] = LICE_RGBA(x * 255 / w, y * 255 / h, 128, alpha);
        }
}

// Blits a painted width x height image onto the back buffer at (x, y) in the given mode.
void BM_Blit(benchmark::State& state, int width, int height, int x, int y, int mode)
{
    LICE_SysBitmap backBuffer(kEditorWidth, kEditorHeight);
    LICE_MemBitmap image(width, height);
    PaintRoundImage(image);
    for (auto _ : state)
    {
        BlitBitmap(&backBuffer, &image, x, y, nullptr, 1.0f, mode);
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(BM_Blit, KnobFrameAlpha, 40, 40, 230, 200, BlendCopy | BlendUseSourceAlpha);
BENCHMARK_CAPTURE(BM_Blit, FullFrameCopy, kEditorWidth, kEditorHeight, 0, 0, BlendCopy);
BENCHMARK_CAPTURE(BM_Blit, FullFrameAlpha, kEditorWidth, kEditorHeight, 0, 0,
                  BlendCopy | BlendUseSourceAlpha);

void BM_FullFrameFill(benchmark::State& state)
{
    LICE_SysBitmap backBuffer(kEditorWidth, kEditorHeight);
    for (auto _ : state)
    {
        FillRect(&backBuffer, 0, 0, kEditorWidth, kEditorHeight, 0xFF203040, 0.3f, BlendCopy);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FullFrameFill);

// A preset name as the editor draws it (Arial 20 bold, centred) with the glyphs cached after
// the first call: GDI on Windows, FreeType's cached glyphs elsewhere.
void BM_PresetNameWarmGlyphs(benchmark::State& state)
{
    LICE_SysBitmap backBuffer(kEditorWidth, kEditorHeight);
    LICE_CachedFont font;
    LiceFontRequest request;
    request.height = 20;
    request.weight = 700;
    request.face = "Arial";
    font.SetFromFontHandle(LiceCreateFontHandle(request), LICE_FontOwnsHandle | LICE_FontAllowDirectDraw);
    font.SetTextColor(0xFF646464);
    LICE_Rect rect = {150, 440, 350, 470};
    font.RenderText(&backBuffer, "ELCT - Tight Snare 07", -1, &rect, LICE_DT_NOCLIP | LICE_DT_CENTER);
    for (auto _ : state)
    {
        font.RenderText(&backBuffer, "ELCT - Tight Snare 07", -1, &rect, LICE_DT_NOCLIP | LICE_DT_CENTER);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PresetNameWarmGlyphs);
} // namespace
