#include <benchmark/benchmark.h>

#include "graphics/raster/LICE_CachedFont.h"
#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LiceBlit.h"

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
      bitmap.GetBits()[y * bitmap.GetRowSpan() + x] =
          LICE_RGBA(x * 255 / w, y * 255 / h, 128, alpha);
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
BENCHMARK_CAPTURE(BM_Blit, FullFrameAlpha, kEditorWidth, kEditorHeight, 0, 0, BlendCopy | BlendUseSourceAlpha);

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

#ifdef _WIN32
// Fonts without GDI measure and draw nothing, so text is timed only on Windows.
void BM_TextLine20px(benchmark::State& state)
{
  LICE_SysBitmap backBuffer(kEditorWidth, kEditorHeight);
  LICE_CachedFont font;
  font.SetFromFontHandle(CreateFontW(20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial"),
                         LICE_FontOwnsHandle | LICE_FontAllowDirectDraw);
  for (auto _ : state)
  {
    LICE_Rect rect = {10, 10, 490, 40};
    font.RenderText(&backBuffer, "Tonal Decay 123.45 ms", -1, &rect, LICE_DT_NOCLIP | LICE_DT_CENTER);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TextLine20px);
#endif
} // namespace
