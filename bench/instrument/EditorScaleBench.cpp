// Kestrum's own editor drawn at a screen scale, into its back buffer (the copy to a window
// is measured by the window benchmarks): a full redraw, the frame after one knob moved, and
// the first draw at a scale, which decodes (or reduces) that scale's images into the
// module-wide cache. The argument is the scale in percent.

#include <benchmark/benchmark.h>

#include "graphics/BitmapCache.h"
#include "graphics/IGraphics.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "instrument/Kestrum.h"
#include "instrument/KestrumLayout.h"

#include <memory>

namespace
{

IGraphics& EditorOf(Kestrum& plug) { return *static_cast<IGraphics*>(plug.Editor()); }

void RedrawAll(IGraphics& editor)
{
    editor.MarkAllControlsChanged();
    editor.Redraw(Rect(0, 0, editor.Width(), editor.Height()));
}

void BM_ScaledFullRedraw(benchmark::State& state)
{
    Kestrum plug;
    IGraphics& editor = EditorOf(plug);
    editor.SetScale(state.range(0) / 100.0);
    RedrawAll(editor); // images decoded before timing
    for (auto _ : state)
    {
        RedrawAll(editor);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ScaledFullRedraw)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_ScaledOneKnobFrame(benchmark::State& state)
{
    Kestrum plug;
    IGraphics& editor = EditorOf(plug);
    editor.SetScale(state.range(0) / 100.0);
    RedrawAll(editor);
    double value = 0.25;
    for (auto _ : state)
    {
        value = 1.0 - value;
        editor.PushValueToControls(KestrumLayout::kRows[6].paramIndex, value, true);
        Rect dirty;
        if (editor.CollectDirtyArea(dirty))
            editor.Redraw(dirty);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ScaledOneKnobFrame)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMicrosecond);

// With an empty cache: the editor switched to the scale and drawn whole once.
void BM_FirstDrawAtScale(benchmark::State& state)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        BitmapCache::Instance().Clear();
        auto plug = std::make_unique<Kestrum>();
        state.ResumeTiming();
        IGraphics& editor = EditorOf(*plug);
        editor.SetScale(state.range(0) / 100.0);
        RedrawAll(editor);
        benchmark::ClobberMemory();
        state.PauseTiming();
        plug.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstDrawAtScale)->Arg(150)->Arg(200)->Arg(250)->Arg(300)->Unit(benchmark::kMillisecond);

} // namespace
