#include "tests/graphics/win/WinEditorHarness.h"

#include "graphics/raster/LICE_SysBitmap.h"

#include <cstdio>
#include <memory>

namespace
{
constexpr UINT kFlushMessage = WM_APP + 1;
bool sFlushed = false;
const wchar_t* const kHostClass = L"KestrumTestHost";

PluginConfig HarnessConfig()
{
    PluginConfig config;
    config.numParams = 2;
    config.channelIoString = "0-2";
    config.effectName = "Kestrum";
    config.pluginApi = kApiVst2;  // a right click reaches the control
    return config;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KEYDOWN)
        WinEditorHarness::HostKeys().push_back(wParam);
    if (msg == kFlushMessage)
    {
        sFlushed = true;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Frame f of the strip is one colour: red 2f, green 200 - 2f, blue 128.
LICE_pixel FrameColor(int frame)
{
    return LICE_RGBA(2 * frame, 200 - 2 * frame, 128, 255);
}
}  // namespace

const Rect WinEditorHarness::kKnobA(20, 20, 60, 60);
const Rect WinEditorHarness::kKnobB(100, 20, 140, 60);

int KnobFrameFor(double value)
{
    return static_cast<int>((WinEditorHarness::kFrames - 1) * value + 0.5);
}

RecordingPlug::RecordingPlug() : IPlugBase(HarnessConfig())
{
    GetParam(0)->DefineContinuous("Level", 50.0, 0.0, 100.0, 0.01);
    GetParam(1)->DefineContinuous("Tone", 0.5, 0.0, 1.0, 0.001);
}

void RecordingPlug::BeginParameterEdit(int paramIndex)
{
    events.push_back("begin " + std::to_string(paramIndex));
    IPlugBase::BeginParameterEdit(paramIndex);
}

void RecordingPlug::SetParameterFromEditor(int paramIndex, double normalizedValue)
{
    char text[64];
    std::snprintf(text, sizeof(text), "set %d %.3f", paramIndex, normalizedValue);
    events.push_back(text);
    IPlugBase::SetParameterFromEditor(paramIndex, normalizedValue);
}

void RecordingPlug::EndParameterEdit(int paramIndex)
{
    events.push_back("end " + std::to_string(paramIndex));
    IPlugBase::EndParameterEdit(paramIndex);
}

std::vector<WPARAM>& WinEditorHarness::HostKeys()
{
    static std::vector<WPARAM> keys;
    return keys;
}

WinEditorHarness::WinEditorHarness(bool tooltips) : mStrip(kKnobSize, kKnobSize * kFrames)
{
    for (int y = 0; y < mStrip.GetHeight(); ++y)
        for (int x = 0; x < kKnobSize; ++x)
            mStrip.GetBits()[y * mStrip.GetRowSpan() + x] = FrameColor(y / kKnobSize);

    WNDCLASSW hostClass = {};
    hostClass.lpfnWndProc = &HostProc;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.lpszClassName = kHostClass;
    RegisterClassW(&hostClass);  // already registered by an earlier test: fine
    host = CreateWindowExW(0, kHostClass, L"host", WS_POPUP | WS_VISIBLE, 0, 0, 520, 500, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(host);
    HostKeys().clear();

    auto owned = std::make_unique<IGraphicsWin>(&plug, 500, 480, 25);
    editor = owned.get();
    editor->SetModuleHandle(GetModuleHandleW(nullptr));
    const BitmapRef strip(&mStrip, mStrip.GetWidth(), mStrip.GetHeight(), kFrames, false);
    editor->AddControl(std::make_unique<IPanelControl>(&plug, Rect(0, 0, 500, 480), Color(255, 90, 90, 90), BlendSpec(BlendSpec::kCopy)));
    knobA = static_cast<IKnobMultiControl*>(editor->AddControl(
        std::make_unique<IKnobMultiControl>(&plug, kKnobA.left, kKnobA.top, 0, strip, IKnobControl::kVertical, 4.0, BlendSpec(BlendSpec::kCopy))));
    knobA->SetPromptsEnabled(true);
    editor->AddControl(
        std::make_unique<IKnobMultiControl>(&plug, kKnobB.left, kKnobB.top, 1, strip, IKnobControl::kVertical, 4.0, BlendSpec(BlendSpec::kCopy)));
    editor->SetTooltipsEnabled(tooltips);
    plug.AttachEditor(std::move(owned));
    editor->CreateEditorWindow(host);
}

WinEditorHarness::~WinEditorHarness()
{
    editor->DestroyEditorWindow();
    DestroyWindow(host);
}

void WinEditorHarness::Post(UINT msg, WPARAM wParam, int x, int y) const
{
    PostMessageW(EditorWnd(), msg, wParam, MAKELPARAM(x, y));
}

bool WinEditorHarness::Flush()
{
    // Posted messages are handled in order, so once this one arrives all earlier ones have.
    sFlushed = false;
    PostMessageW(host, kFlushMessage, 0, 0);
    return PumpUntil([] { return sFlushed; });
}

bool WinEditorHarness::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;)
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

bool WinEditorHarness::Settle()
{
    return PumpUntil([this] {
        Rect dirty;
        RECT update;
        return editor->PresentCount() > 0 && !editor->CollectDirtyArea(dirty) &&
               !GetUpdateRect(EditorWnd(), &update, FALSE);
    });
}

bool WinEditorHarness::WindowShowsFrame(const Rect& rect, int frame) const
{
    LICE_SysBitmap readBack(rect.Width(), rect.Height());
    HDC windowDc = GetDC(EditorWnd());
    BitBlt(readBack.GetDeviceContext(), 0, 0, rect.Width(), rect.Height(), windowDc, rect.left, rect.top, SRCCOPY);
    ReleaseDC(EditorWnd(), windowDc);
    GdiFlush();
    for (int y = 0; y < rect.Height(); ++y)
        for (int x = 0; x < rect.Width(); ++x)
        {
            const LICE_pixel shown = readBack.GetBits()[y * readBack.GetRowSpan() + x] & 0xFFFFFF;
            const LICE_pixel drawn = mStrip.GetBits()[(frame * kKnobSize + y) * mStrip.GetRowSpan() + x] & 0xFFFFFF;
            if (shown != drawn)
                return false;
        }
    return true;
}
