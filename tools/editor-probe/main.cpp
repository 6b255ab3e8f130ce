// kestrum-editor-probe: what opening Kestrum costs a host, measured through the VST3 module
// loaded from disk as a host loads it.
//
//   kestrum-editor-probe [--instances N] [--screenshot editor.png] [--scale S]
//
// Prints the time to load the module, to create and initialise the first instance (which
// decodes the editor's images into the module-wide cache) and later ones (which find the
// cache filled), the size of the module and of the images. It also opens the editor in a
// window of its own (Windows; on Linux an X window with the host's run loop, when an X server
// is reachable) and prints how long attaching and the first complete paint take; with
// --screenshot it writes the editor at default values as a PNG file, its pixels read back
// from the window. --scale gives the Linux editor the host's content scale S before it opens
// (the picture then has S times the editor's size); first open then includes decoding that
// scale's images.

#include "tests/vst3/Vst3Editor.h"
#include "tests/vst3/Vst3Instance.h"
#include "tests/vst3/host/PngWriter.h"
#ifndef _WIN32
#include "tests/support/X11HostWindow.h"
#include "tests/vst3/host/RunLoopPlugFrame.h"
#endif

#include "instrument/KestrumLayout.h"
#ifndef _WIN32
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

double MillisecondsFor(const std::function<void()>& work)
{
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long FileBytes(const std::string& path)
{
    FILE* file = std::fopen(VstModule::NativePath(path).c_str(), "rb");
    if (file == nullptr)
        return -1;
    std::fseek(file, 0, SEEK_END);
    const long bytes = std::ftell(file);
    std::fclose(file);
    return bytes;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void ReportSizes()
{
    std::printf("module bytes: %ld\n", FileBytes(KESTRUM_VST3_MODULE_PATH));
    long pngBytes = 0;
    long decodedBytes = 0;
    for (const KestrumLayout::ImageFile& image : KestrumLayout::kImages)
    {
        pngBytes += FileBytes(std::string(KESTRUM_SOURCE_DIR) + "/" + image.fileName);
        decodedBytes += static_cast<long>(image.width) * image.height * 4;
    }
    std::printf("images: %zu, PNG bytes: %ld, decoded bytes: %ld\n", std::size(KestrumLayout::kImages),
                pngBytes, decodedBytes);
}

#ifdef _WIN32
bool MeasureEditor(Vst3Instance& instance, const char* screenshot)
{
    KnobStrip strip(KestrumLayout::kLargeKnobImage);
    // The host's window and the view exist before the measurement, as in a host.
    Vst3Editor editor(instance, kHostWindowX, kHostWindowY, false);
    const int frame = strip.FrameFor(0.8);
    bool painted = false;
    const double attachMs =
        MillisecondsFor([&] { editor.view->attached(editor.host.Handle(), Steinberg::kPlatformTypeHWND); });
    const double paintMs =
        MillisecondsFor([&] { painted = WaitForKnobFrame(editor.Window(), strip, kMainVolume, frame); });
    std::printf("editor open: attached %.2f ms, then shown complete after %.2f ms more\n", attachMs, paintMs);
    if (!painted)
    {
        std::fprintf(stderr, "editor-probe: the editor did not show its default values\n");
        return false;
    }
    if (screenshot != nullptr && !SaveEditorPicture(editor.Window(), screenshot))
    {
        std::fprintf(stderr, "editor-probe: cannot write %s\n", screenshot);
        return false;
    }
    editor.Remove();
    const double reopenMs = MillisecondsFor(
        [&]
        {
            editor.Attach();
            painted = WaitForKnobFrame(editor.Window(), strip, kMainVolume, frame);
        });
    std::printf("editor reopen: attached until shown complete %.2f ms\n", reopenMs);
    return painted;
}
#else
// The host's content scale for the view; false when the view refuses it.
bool SetContentScale(Steinberg::IPlugView* view, double scale)
{
    Steinberg::IPlugViewContentScaleSupport* support = nullptr;
    if (view->queryInterface(Steinberg::IPlugViewContentScaleSupport::iid,
                             reinterpret_cast<void**>(&support)) != Steinberg::kResultOk ||
        support == nullptr)
        return false;
    const bool taken = support->setContentScaleFactor(static_cast<float>(scale)) == Steinberg::kResultTrue;
    support->release();
    return taken;
}

// The Linux host's way: an X window of its own and its run loop behind the view's frame.
bool MeasureEditor(Vst3Instance& instance, const char* screenshot, double scale)
{
    const int width = static_cast<int>(KestrumLayout::kEditorWidth * scale + 0.5);
    const int height = static_cast<int>(KestrumLayout::kEditorHeight * scale + 0.5);
    X11HostWindow window(0, 0, width, height);
    if (!window.Open())
    {
        std::fprintf(stderr, "editor-probe: no X server reachable; the editor is not measured\n");
        return false;
    }
    RunLoopPlugFrame frame;
    Steinberg::IPlugView* view = instance.controller->createView(Steinberg::Vst::ViewType::kEditor);
    if (view == nullptr)
    {
        std::fprintf(stderr, "editor-probe: the module made no editor view\n");
        return false;
    }
    view->setFrame(&frame);
    if (scale != 1.0 && !SetContentScale(view, scale))
    {
        std::fprintf(stderr, "editor-probe: the view refused the scale %g\n", scale);
        view->release();
        return false;
    }
    Steinberg::tresult attached = Steinberg::kResultFalse;
    const double attachMs = MillisecondsFor(
        [&] { attached = view->attached(window.Handle(), Steinberg::kPlatformTypeX11EmbedWindowID); });
    std::vector<uint32_t> picture;
    double paintMs = 0.0;
    if (attached == Steinberg::kResultOk && window.Children().size() == 1)
        paintMs = MillisecondsFor(
            [&]
            {
                picture = window.WaitForPicture(
                    window.Children()[0], 0, 0, width, height, [&] { frame.RunFor(5); }, 10000);
            });
    bool ok = !picture.empty();
    if (ok)
        std::printf(
            "editor open: attached %.2f ms, then shown complete (and read back twice) after %.2f ms more\n",
            attachMs, paintMs);
    else
        std::fprintf(stderr, "editor-probe: the editor window did not open or show a picture\n");
    if (ok && screenshot != nullptr && !WritePng(screenshot, width, height, picture.data()))
    {
        std::fprintf(stderr, "editor-probe: cannot write %s\n", screenshot);
        ok = false;
    }
    view->removed();
    view->setFrame(nullptr);
    view->release();
    return ok;
}
#endif

} // namespace

int main(int argc, char** argv)
{
    int instances = 20;
    const char* screenshot = nullptr;
    double scale = 1.0;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--instances") == 0 && i + 1 < argc)
            instances = std::max(2, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            screenshot = argv[++i];
        else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc)
            scale = std::atof(argv[++i]);
        else
        {
            std::fprintf(
                stderr,
                "usage: kestrum-editor-probe [--instances N] [--screenshot editor.png] [--scale S]\n");
            return 2;
        }
    }

    const double loadMs = MillisecondsFor([] { TheModule(); });
    if (!TheModule().Loaded())
    {
        std::fprintf(stderr, "editor-probe: %s\n", TheModule().Error().c_str());
        return 1;
    }
    std::printf("module load: %.2f ms\n", loadMs);

    std::unique_ptr<Vst3Instance> first;
    const double firstMs = MillisecondsFor([&] { first = std::make_unique<Vst3Instance>(); });
    if (!first->Created())
    {
        std::fprintf(stderr, "editor-probe: no instance\n");
        return 1;
    }
    std::vector<double> later;
    for (int i = 1; i < instances; ++i)
        later.push_back(MillisecondsFor([] { Vst3Instance another; }));
    std::printf("instance create + initialize: first %.2f ms, later (median of %zu, incl. release) %.2f ms\n",
                firstMs, later.size(), Median(later));
    ReportSizes();

#ifdef _WIN32
    if (scale != 1.0)
    {
        std::fprintf(stderr, "editor-probe: --scale is measured on Linux only\n");
        return 2;
    }
    if (!MeasureEditor(*first, screenshot))
        return 1;
#else
    // Without an X server there is no window to open; that is only a failure when a picture
    // was asked for.
    if (!MeasureEditor(*first, screenshot, scale) && screenshot != nullptr)
        return 1;
#endif
    return 0;
}
