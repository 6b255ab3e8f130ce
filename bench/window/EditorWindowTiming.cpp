// Times the editor's frames through the Windows window: a 500 x 480 editor with a
// background image, ten 40 x 40 knobs, two switches and a text line, drawn by the window's
// own timer path (collect, invalidate, paint, one BitBlt). Prints medians.
#include "framework/IPlugBase.h"
#include "graphics/IBitmapControl.h"
#include "graphics/win/IGraphicsWin.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/ISwitchControl.h"
#include "graphics/ITextControl.h"
#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LICE_SysBitmap.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <windows.h>

namespace
{
constexpr int kKnobs = 10;
constexpr int kSwitches = 2;
constexpr int kRepeats = 300;

PluginConfig TimingConfig()
{
    PluginConfig config;
    config.numParams = kKnobs + kSwitches;
    config.channelIoString = "0-2";
    config.effectName = "Kestrum";
    return config;
}

class TimingPlug : public IPlugBase
{
public:
    TimingPlug() : IPlugBase(TimingConfig())
    {
        for (int i = 0; i < NumParams(); ++i)
            GetParam(i)->DefineContinuous("P", 0.5, 0.0, 1.0, 0.001);
    }
};

// An image of the given size with a soft gradient and partly transparent pixels, as artwork has.
void Paint(LICE_MemBitmap& bitmap, bool translucent)
{
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
        {
            const int alpha = translucent ? ((x + y) % 7 == 0 ? 0 : 160 + (x * 3 + y) % 96) : 255;
            bitmap.GetBits()[y * bitmap.GetRowSpan() + x] = LICE_RGBA(x & 255, y & 255, (x ^ y) & 255, alpha);
        }
}

double MedianMicroseconds(std::vector<double>& samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double TimeMicroseconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
} // namespace

int main()
{
    TimingPlug plug;
    LICE_MemBitmap background(500, 480), knobStrip(40, 40 * 99), switchStrip(30, 60);
    Paint(background, false);
    Paint(knobStrip, true);
    Paint(switchStrip, true);

    auto owned = std::make_unique<IGraphicsWin>(&plug, 500, 480, 25);
    IGraphicsWin* editor = owned.get();
    editor->SetModuleHandle(GetModuleHandleW(nullptr));
    editor->AddControl(std::make_unique<IBitmapControl>(&plug, 0, 0, -1, BitmapRef(&background, 500, 480),
                                                        BlendSpec(BlendSpec::kCopy)));
    for (int k = 0; k < kKnobs; ++k)
        editor->AddControl(std::make_unique<IKnobMultiControl>(&plug, 20 + (k % 5) * 90, 60 + (k / 5) * 120,
                                                               k, BitmapRef(&knobStrip, 40, 40 * 99, 99)));
    for (int s = 0; s < kSwitches; ++s)
        editor->AddControl(std::make_unique<ISwitchControl>(&plug, 60 + s * 200, 330, kKnobs + s,
                                                            BitmapRef(&switchStrip, 30, 60, 2)));
    editor->AddControl(std::make_unique<ITextControl>(&plug, Rect(20, 420, 480, 444),
                                                      TextStyle("Arial", 16, Color(255, 230, 230, 230)),
                                                      "Tonal Decay 123.45 ms"));
    plug.AttachEditor(std::move(owned));

    WNDCLASSW hostClass = {};
    hostClass.lpfnWndProc = &DefWindowProcW;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.lpszClassName = L"KestrumTimingHost";
    RegisterClassW(&hostClass);
    HWND host = CreateWindowExW(0, hostClass.lpszClassName, L"host", WS_POPUP | WS_VISIBLE, 0, 0, 500, 480,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND window = static_cast<HWND>(editor->CreateEditorWindow(host));
    if (!window)
    {
        std::fprintf(stderr, "editor_window_timing: no window (is there a display?)\n");
        return 1;
    }
    PumpPending();
    // One timer tick, exactly as the timer delivers it.
    auto tick = [window] { SendMessageW(window, WM_TIMER, IGraphicsWin::kTimerId, 0); };
    tick();

    std::vector<double> full, incremental, present;
    editor->ResetPresentStats();
    for (int r = 0; r < kRepeats; ++r)
    {
        editor->MarkAllControlsChanged();
        full.push_back(TimeMicroseconds(tick));
        PumpPending();
    }
    for (int r = 0; r < kRepeats; ++r)
    {
        editor->PushValueToControls(r % kKnobs, ((r / kKnobs) % 2) ? 0.25 : 0.75, true);
        incremental.push_back(TimeMicroseconds(tick));
        tick(); // the frame a pushed value asks for after its first
        PumpPending();
    }
    const long long framePixels = editor->PresentedPixels();
    HDC windowDc = GetDC(window);
    HDC backDc = static_cast<HDC>(editor->BackBuffer()->GetDeviceContext());
    for (int r = 0; r < kRepeats; ++r)
        present.push_back(TimeMicroseconds(
            [&]
            {
                BitBlt(windowDc, 0, 0, 500, 480, backDc, 0, 0, SRCCOPY);
                GdiFlush();
            }));
    ReleaseDC(window, windowDc);

    constexpr int kPushes = 1000000;
    const double pushTotal = TimeMicroseconds(
        [editor]
        {
            for (int i = 0; i < kPushes; ++i)
                editor->PushValueToControls(i % kKnobs, ((i / kKnobs) & 1) ? 0.25 : 0.75, true);
        });

    std::printf("editor window frames (medians of %d, microseconds):\n", kRepeats);
    std::printf("  full redraw, 500 x 480 (tick: collect, invalidate, paint, BitBlt): %8.1f\n",
                MedianMicroseconds(full));
    std::printf("  one knob changed (tick: collect, invalidate, paint 40 x 40, BitBlt): %8.1f\n",
                MedianMicroseconds(incremental));
    std::printf("  (the timed ticks painted %lld pixels: %d full frames and %d knob frames)\n", framePixels,
                kRepeats, 2 * kRepeats);
    std::printf("  BitBlt of the whole back buffer to the window alone:              %8.1f\n",
                MedianMicroseconds(present));
    std::printf("  PushValueToControls (mean of %d):                             %8.4f\n", kPushes,
                pushTotal / kPushes);
    editor->DestroyEditorWindow();
    DestroyWindow(host);
    return 0;
}
