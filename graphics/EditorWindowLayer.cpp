#include "graphics/EditorWindowLayer.h"

#include "graphics/IGraphicsHeadless.h"

#ifdef _WIN32
#include "graphics/win/IGraphicsWin.h"
#else
#include "graphics/x11/MakeX11Editor.h"
#endif

namespace
{

using LayerMaker = std::unique_ptr<IGraphics> (*)(IPlugBase* plug, int width, int height, int frameRate);

template <class Layer>
std::unique_ptr<IGraphics> Make(IPlugBase* plug, int width, int height, int frameRate)
{
    return std::make_unique<Layer>(plug, width, height, frameRate);
}

bool Always() { return true; }

struct WindowLayer
{
    bool (*canServe)(); // whether this machine can show the layer's windows
    LayerMaker make;
};

// In the order they are tried; the headless layer always serves and comes last.
const WindowLayer kLayers[] = {
#ifdef _WIN32
    {Always, Make<IGraphicsWin>},
#else
    // Whether an X server is there is only known when the host opens the window.
    {Always, MakeX11Editor},
#endif
    {Always, Make<IGraphicsHeadless>},
};

} // namespace

std::unique_ptr<IGraphics> MakeEditorWindowLayer(IPlugBase* plug, int width, int height, int frameRate)
{
    for (const WindowLayer& layer : kLayers)
    {
        if (!layer.canServe())
            continue;
        std::unique_ptr<IGraphics> editor = layer.make(plug, width, height, frameRate);
        if (editor)
            editor->SetModuleHandle(ThisModuleHandle());
        return editor;
    }
    return nullptr;
}

LICE_HMODULE ThisModuleHandle()
{
#ifdef _WIN32
    // The module that holds this function's code; a plug-in module's images are its own
    // resources, not the host executable's.
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModuleHandle), &module);
    return module;
#else
    return nullptr;
#endif
}
