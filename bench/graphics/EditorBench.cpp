// The editor's frame costs on the headless window layer: a full redraw of an instrument-like
// 500 x 480 layout, the incremental frame after one knob moved, and the push of a value
// from the plug-in (what host automation costs the audio thread). The X11 variants run the
// same frames through a real X11 window, the copy to the screen included (XPutImage, then a
// round trip so the server has drawn it); they need an X server (run under xvfb-run).

#include <benchmark/benchmark.h>

#include "framework/IPlugBase.h"
#include "framework/IdleRunLoop.h"
#include "graphics/IBitmapControl.h"
#include "graphics/IGraphicsHeadless.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/ISwitchControl.h"
#include "graphics/ITextControl.h"
#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/x11/IGraphicsX11.h"

#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>

namespace
{
constexpr int kWidth = 500;
constexpr int kHeight = 480;
constexpr int kKnobFrames = 99;
constexpr int kKnobSize = 40;
constexpr int kSwitchSize = 26;
constexpr int kFirstKnobParam = 3;

class BenchPlugin : public IPlugBase
{
public:
    BenchPlugin() : IPlugBase(Config())
    {
        for (int i = 0; i < NumParams(); ++i)
            GetParam(i)->DefineContinuous(("P" + std::to_string(i)).c_str(), 0.5, 0.0, 1.0, 0.00001);
    }

private:
    static PluginConfig Config()
    {
        PluginConfig config;
        config.numParams = 28;
        config.channelIoString = "2-2";
        config.pluginApi = kApiVst3;
        return config;
    }
};

// Frames with the mix of opaque, translucent and empty pixels of real knob artwork.
std::unique_ptr<LICE_MemBitmap> MakeRoundStrip(int side, int frames)
{
    auto strip = std::make_unique<LICE_MemBitmap>(side, side * frames);
    for (int y = 0; y < side * frames; ++y)
        for (int x = 0; x < side; ++x)
        {
            const int dx = 2 * x - side;
            const int dy = 2 * (y % side) - side;
            const int distance = dx * dx + dy * dy;
            const int radius = side * side;
            const int alpha = distance < radius * 3 / 4 ? 255 : distance < radius ? 128 : 0;
            strip->GetBits()[y * strip->GetRowSpan() + x] = LICE_RGBA(x * 6, y % 256, 128, alpha);
        }
    return strip;
}

// The benchmark layout: a 1000 x 1000 background, ten knobs, two switches and a text line.
template <class Layer>
struct BenchEditor
{
    // At a scale other than 1 the X11 window has the scaled size (the layout's images here are
    // made in code, so they are drawn as they are: only the window copy is measured scaled).
    explicit BenchEditor(double windowScale = 1.0) : scale(windowScale)
    {
        background = std::make_unique<LICE_MemBitmap>(1000, 1000);
        for (int y = 0; y < 1000; ++y)
            for (int x = 0; x < 1000; ++x)
                background->GetBits()[y * background->GetRowSpan() + x] =
                    LICE_RGBA(x % 256, y % 256, 40, 255);
        knobStrip = MakeRoundStrip(kKnobSize, kKnobFrames);
        switchStrip = MakeRoundStrip(kSwitchSize, 2);

        auto layer = std::make_unique<Layer>(&plug, kWidth, kHeight, 25);
        editor = layer.get();
        editor->AddControl(std::make_unique<IBitmapControl>(&plug, Rect(0, 0, 1000, 1000), -1,
                                                            BitmapRef(background.get(), 1000, 1000, 1),
                                                            BlendSpec(BlendSpec::kCopy)));
        const BitmapRef knobs(knobStrip.get(), kKnobSize, kKnobSize * kKnobFrames, kKnobFrames);
        for (int i = 0; i < 10; ++i)
            editor->AddControl(std::make_unique<IKnobMultiControl>(
                &plug, 60 + (i % 5) * 80, 120 + (i / 5) * 160, kFirstKnobParam + i, knobs));
        const BitmapRef switches(switchStrip.get(), kSwitchSize, kSwitchSize * 2, 2);
        editor->AddControl(std::make_unique<ISwitchControl>(&plug, 237, 210, 14, switches));
        editor->AddControl(std::make_unique<ISwitchControl>(&plug, 252, 415, 20, switches));
        editor->AddControl(std::make_unique<ITextControl>(
            &plug, Rect(60, 43, 440, 65), TextStyle("Arial", 20, Color(255, 100, 100, 100), TextStyle::kBold),
            "< Presets Library >"));
        plug.AttachEditor(std::move(layer));
        Open();
        while (RunFrame())
        {
        }
    }
    ~BenchEditor();

    void Open();
    // One tick; true when something was drawn (and, in a window, shown).
    bool RunFrame();

    IdleRunLoop loop; // the X11 variant's host loop; outlives the editor
    BenchPlugin plug;
    std::unique_ptr<LICE_MemBitmap> background;
    std::unique_ptr<LICE_MemBitmap> knobStrip;
    std::unique_ptr<LICE_MemBitmap> switchStrip;
    Layer* editor = nullptr;
    double scale = 1.0;
    Display* display = nullptr; // the X11 variant's host connection
    Window host = 0;
};

template <>
void BenchEditor<IGraphicsHeadless>::Open()
{
}

template <>
bool BenchEditor<IGraphicsHeadless>::RunFrame()
{
    return editor->RunFrame();
}

template <>
BenchEditor<IGraphicsHeadless>::~BenchEditor() = default;

template <>
void BenchEditor<IGraphicsX11>::Open()
{
    display = XOpenDisplay(nullptr);
    if (!display)
        return;
    host =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(kWidth * scale),
                            static_cast<unsigned>(kHeight * scale), 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);
    editor->SetContentScale(scale);
    editor->UseRunLoop(&loop);
    editor->CreateEditorWindow(reinterpret_cast<EditorWindowHandle>(static_cast<uintptr_t>(host)));
}

template <>
bool BenchEditor<IGraphicsX11>::RunFrame()
{
    Rect dirty;
    if (!editor->HasWindow() || !editor->CollectDirtyArea(dirty))
        return false;
    editor->Redraw(dirty);
    XSync(editor->XDisplay(), False);
    return true;
}

template <>
BenchEditor<IGraphicsX11>::~BenchEditor()
{
    if (!display)
        return;
    editor->DestroyEditorWindow();
    XDestroyWindow(display, host);
    XCloseDisplay(display);
}

template <class Layer>
bool Skipped(benchmark::State& state, const BenchEditor<Layer>& bench)
{
    if (bench.editor->HasWindow() || std::is_same<Layer, IGraphicsHeadless>::value)
        return false;
    state.SkipWithError("no X server");
    return true;
}

template <class Layer>
void BM_FullRedraw(benchmark::State& state)
{
    BenchEditor<Layer> bench;
    if (Skipped(state, bench))
        return;
    for (auto _ : state)
    {
        bench.editor->MarkAllControlsChanged();
        bench.RunFrame();
        benchmark::ClobberMemory();
    }
}
BENCHMARK_TEMPLATE(BM_FullRedraw, IGraphicsHeadless);
BENCHMARK_TEMPLATE(BM_FullRedraw, IGraphicsX11);

template <class Layer>
void BM_OneKnobIncrementalFrame(benchmark::State& state)
{
    BenchEditor<Layer> bench;
    if (Skipped(state, bench))
        return;
    double value = 0.25;
    for (auto _ : state)
    {
        value = 1.0 - value;
        bench.editor->PushValueToControls(kFirstKnobParam, value, true);
        bench.RunFrame(); // collect, draw clipped, present
        benchmark::ClobberMemory();
    }
}
BENCHMARK_TEMPLATE(BM_OneKnobIncrementalFrame, IGraphicsHeadless);
BENCHMARK_TEMPLATE(BM_OneKnobIncrementalFrame, IGraphicsX11);

// The copy of the whole back buffer to the window alone; the argument is the scale in percent.
void BM_X11PresentFullWindow(benchmark::State& state)
{
    BenchEditor<IGraphicsX11> bench(state.range(0) / 100.0);
    if (Skipped(state, bench))
        return;
    const EditorSize size = bench.editor->WindowSize();
    for (auto _ : state)
    {
        bench.editor->PresentArea(Rect(0, 0, size.width, size.height));
        XSync(bench.editor->XDisplay(), False);
    }
}
BENCHMARK(BM_X11PresentFullWindow)->Arg(100)->Arg(200)->Arg(300);

void BM_PushValueToControls(benchmark::State& state, bool normalized)
{
    BenchEditor<IGraphicsHeadless> bench;
    double value = 0.25;
    for (auto _ : state)
    {
        value = 1.0 - value;
        bench.editor->PushValueToControls(kFirstKnobParam + 5, value, normalized);
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(BM_PushValueToControls, Normalized, true);
BENCHMARK_CAPTURE(BM_PushValueToControls, Plain, false);
} // namespace
