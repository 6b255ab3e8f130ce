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

void BM_KnobFrameAlphaBlit(benchmark::State& state)
{
  LICE_SysBitmap backBuffer(kEditorWidth, kEditorHeight);
  LICE_MemBitmap knob(40, 40);
  PaintRoundImage(knob);
  for (auto _ : state)
  {
    BlitBitmap(&backBuffer, &knob, 230, 200, nullptr, 1.0f, BlendCopy | BlendUseSourceAlpha);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_KnobFrameAlphaBlit);

void BM_FullFrameCopy(benchmark::State& state)
{
  LICE_SysBitmap backBuffer(kEditorWidth, kEditorHeight);
  LICE_MemBitmap background(kEditorWidth, kEditorHeight);
  PaintRoundImage(background);
  for (auto _ : state)
  {
    BlitBitmap(&backBuffer, &background, 0, 0, nullptr, 1.0f, BlendCopy);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FullFrameCopy);

void BM_FullFrameAlphaBlit(benchmark::State& state)
{
  LICE_SysBitmap backBuffer(kEditorWidth, kEditorHeight);
  LICE_MemBitmap overlay(kEditorWidth, kEditorHeight);
  PaintRoundImage(overlay);
  for (auto _ : state)
  {
    BlitBitmap(&backBuffer, &overlay, 0, 0, nullptr, 1.0f, BlendCopy | BlendUseSourceAlpha);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FullFrameAlphaBlit);

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
