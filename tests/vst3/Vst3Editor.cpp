#include "tests/vst3/Vst3Editor.h"

#ifdef _WIN32

#include "tests/vst3/host/PngWriter.h"

#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LicePng.h"

#include <algorithm>
#include <vector>

using namespace Steinberg;
using namespace KestrumLayout;

Vst3Editor::Vst3Editor(Vst3Instance& instance, int x, int y, bool attach)
    : host(x, y, kEditorWidth, kEditorHeight)
{
    if (instance.controller == nullptr)
        return;
    view = instance.controller->createView(Vst::ViewType::kEditor);
    if (view == nullptr)
        return;
    view->setFrame(&frame);
    if (attach)
        Attach();
}

Vst3Editor::~Vst3Editor() { Release(); }

tresult Vst3Editor::Attach()
{
    const tresult result = view->attached(host.Handle(), kPlatformTypeHWND);
    HostWindow::Pump();
    return result;
}

tresult Vst3Editor::Remove()
{
    const tresult result = view->removed();
    HostWindow::Pump();
    return result;
}

void Vst3Editor::Release()
{
    if (view == nullptr)
        return;
    if (Open())
        view->removed();
    view->setFrame(nullptr);
    view->release();
    view = nullptr;
    HostWindow::Pump();
}

struct KnobStrip::Pixels
{
    std::unique_ptr<LICE_MemBitmap> bitmap;
};

KnobStrip::KnobStrip(int imageId) : pixels(std::make_unique<Pixels>())
{
    const ImageFile* image = FindImage(imageId);
    if (image == nullptr)
        return;
    const std::string path = VstModule::NativePath(std::string(KESTRUM_SOURCE_DIR) + "/" + image->fileName);
    pixels->bitmap.reset(DecodePngFile(path.c_str(), nullptr));
    frames = image->frames;
}

KnobStrip::~KnobStrip() = default;

bool KnobStrip::Loaded() const { return pixels->bitmap != nullptr; }

int KnobStrip::FrameFor(double value) const
{
    const int index = static_cast<int>((frames - 1) * value + 0.5);
    return index < 0 ? 1 : std::min(frames, index + 1);
}

int KnobStrip::Mismatches(const PixelBlock& shown, int frame) const
{
    const LICE_MemBitmap* strip = pixels->bitmap.get();
    if (strip == nullptr || shown.pixels.empty() || frames < 1)
        return -1;
    const int frameHeight = strip->GetHeight() / frames;
    const int top = static_cast<int>(static_cast<double>(strip->GetHeight()) * (frame - 1) / frames + 0.5);
    if (shown.width != strip->GetWidth() || shown.height != frameHeight)
        return -1;
    int mismatches = 0;
    for (int y = 0; y < frameHeight; ++y)
    {
        const LICE_pixel* row = strip->GetBits() + static_cast<size_t>(top + y) * strip->GetRowSpan();
        for (int x = 0; x < shown.width; ++x)
            if (LICE_GetA(row[x]) == 255 && (row[x] & 0x00FFFFFF) != shown.At(x, y))
                ++mismatches;
    }
    return mismatches;
}

PixelBlock KnobStrip::Shown(HWND window, int paramIndex)
{
    const Bounds rect = RowRect(RowOfParameter(paramIndex));
    return HostWindow::Read(window, rect.left, rect.top, rect.right, rect.bottom);
}

bool WaitForKnobFrame(HWND window, const KnobStrip& strip, int paramIndex, int frame)
{
    return HostWindow::PumpUntil(
        [&] { return strip.Mismatches(KnobStrip::Shown(window, paramIndex), frame) == 0; }, kPaintTimeoutMs);
}

bool SaveEditorPicture(HWND window, const std::string& path)
{
    const PixelBlock shot = HostWindow::Read(window, 0, 0, kEditorWidth, kEditorHeight);
    return !shot.pixels.empty() &&
           WritePng(VstModule::NativePath(path), shot.width, shot.height, shot.pixels.data());
}

#endif
