// The editor core: lifecycle, the control list, values pushed from the plug-in and value
// prompts. Drawing and the redraw cycle are in IGraphicsDraw.cpp, input in IGraphicsInput.cpp.

#include "graphics/IGraphics.h"

#include "framework/IPlugBase.h"
#include "graphics/BitmapCache.h"
#include "graphics/IBitmapControl.h"
#include "graphics/IControl.h"
#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LiceReduce.h"

#include <cstdio>
#include <cstring>
#include <optional>

namespace
{
// The scaled sets are PNG resources; the name only chooses the decoder.
constexpr const char* kScaledImageName = "scaled.png";
} // namespace

IGraphics::IGraphics(IPlugBase* plug, int width, int height, int frameRate)
    : mPlug(plug),
      mWidth(width),
      mHeight(height),
      mFrameRate(frameRate)
{
}

IGraphics::~IGraphics()
{
    mKeyCatcher.reset();
    DestroyControls();
    mBackBuffer.reset();
    mSpareBitmap.reset();
}

void IGraphics::Resize(int width, int height)
{
    {
        std::optional<PlugLockGuard> guard;
        if (mPlug)
            guard.emplace(mPlug->PluginLock());
        mWidth = width;
        mHeight = height;
        ReleaseMouse();
        mMouseOverIndex = -1;
        DestroyControls();
        mBackBuffer.reset();
        mSpareBitmap.reset();
        MakeBitmaps();
    }
    if (mPlug)
        mPlug->ResizeEditor(width, height);
}

bool IGraphics::HasWindow() { return EditorWindow() != nullptr; }

bool IGraphics::OpenWindow(void* parent)
{
    const EditorSize before = WindowSize();
    if (!mHostChoseScale)
        SetScale(SystemScale(parent));
    if (CreateEditorWindow(parent) == nullptr)
        return false;
    // The host sized its frame from the size it asked for before the window opened.
    const EditorSize after = WindowSize();
    if (mPlug && (after.width != before.width || after.height != before.height))
        mPlug->ResizeEditor(after.width, after.height);
    return true;
}

void IGraphics::CloseWindow() { DestroyEditorWindow(); }

EditorSize IGraphics::WindowSize() const
{
    return EditorSize{mScale.ToPhysical(Width()), mScale.ToPhysical(Height())};
}

void IGraphics::SetContentScale(double factor)
{
    mHostChoseScale = true;
    SetScale(factor);
}

void IGraphics::SetScale(double factor)
{
    const EditorScale scale(factor);
    if (scale == mScale)
        return;
    mScale = scale;
    if (mBackBuffer)
        MakeBitmaps();
    MarkAllControlsChanged();
    ScaleChanged();
    if (mPlug && HasWindow())
    {
        const EditorSize size = WindowSize();
        mPlug->ResizeEditor(size.width, size.height);
    }
}

void IGraphics::ScaleChanged() {}

double IGraphics::SystemScale(EditorWindowHandle /*parent*/) { return 1.0; }

const char* IGraphics::GetDrawingApiName() { return ""; }

bool IGraphics::ReservedQuery17() { return false; }
void IGraphics::ReservedHook19() {}
void IGraphics::ReservedHook20() {}
void IGraphics::ReservedHook27() {}

void IGraphics::PushValueToControls(int paramIndex, double value, bool normalized)
{
    if (!normalized)
    {
        const PluginParameter* param = mPlug ? mPlug->GetParam(paramIndex) : nullptr;
        if (!param)
            return;
        value = param->ToNormalized(value); // clamped, then shaped
    }
    for (const std::unique_ptr<IControl>& control : mControls)
    {
        if (control->ParamIndex() == paramIndex)
            control->ReceiveValueFromPlugin(value);
        if (control->NumAuxParams() > 0)
        {
            const int position = control->FindAuxParam(paramIndex);
            if (position >= 0)
                control->ReceiveAuxValueFromPlugin(position, value);
        }
    }
}

void IGraphics::PrepareDrawing() { MakeBitmaps(); }

IControl* IGraphics::AddControl(std::unique_ptr<IControl> control)
{
    if (!control)
        return nullptr;
    control->SetGUI(this);
    mControls.push_back(std::move(control));
    return mControls.back().get();
}

IControl* IGraphics::SetBackgroundImage(int resourceId, const char* fileName)
{
    const BitmapRef image = GetImage(resourceId, fileName);
    auto background = std::make_unique<IBitmapControl>(mPlug, Rect(0, 0, image.W, image.H), -1, image,
                                                       BlendSpec(BlendSpec::kCopy, 1.0f));
    background->SetGUI(this);
    return mControls.insert(mControls.begin(), std::move(background))->get();
}

BitmapRef IGraphics::GetImage(int resourceId, const char* fileName, int frames, bool horizontal)
{
    LICE_IBitmap* bitmap = BitmapCache::Instance().FindOrLoad(
        resourceId, [&]() { return LoadPlatformImage(resourceId, fileName); });
    if (!bitmap)
    {
        BitmapRef none(nullptr, 0, 0, frames, horizontal);
        none.resourceId = resourceId;
        return none;
    }
    BitmapRef image(bitmap, bitmap->GetWidth(), bitmap->GetHeight(), frames, horizontal);
    image.resourceId = resourceId;
    return image;
}

LICE_IBitmap* IGraphics::ImageAtScale(const BitmapRef& image)
{
    if (mScale.IsUnity() || image.resourceId <= 0)
        return image.bitmap;
    const int set = mScale.ArtSetPercent();
    if (set != mScale.Percent())
        return ReducedImage(image, set);
    const int id = EditorScale::ArtResourceId(image.resourceId, set);
    return BitmapCache::Instance().FindOrLoad(mScale.CacheKey(image.resourceId),
                                              [&]() { return LoadPlatformImage(id, kScaledImageName); });
}

LICE_IBitmap* IGraphics::ReducedImage(const BitmapRef& image, int setPercent)
{
    BitmapCache& cache = BitmapCache::Instance();
    const int key = mScale.CacheKey(image.resourceId);
    if (LICE_IBitmap* reduced = cache.Find(key))
        return reduced;
    // The larger rendering is decoded for the reduction and dropped again, unless an editor at
    // that scale keeps it anyway: a window at 250 % holds the 250 % images only. Outside the
    // cache's lookups, since the cache holds its lock while it loads.
    const int id = EditorScale::ArtResourceId(image.resourceId, setPercent);
    std::unique_ptr<LICE_IBitmap> decoded;
    const LICE_IBitmap* larger = cache.Find(EditorScale(setPercent / 100.0).CacheKey(image.resourceId));
    if (!larger)
    {
        decoded = LoadPlatformImage(id, kScaledImageName);
        larger = decoded.get();
    }
    if (!larger)
        return nullptr;
    const int percent = mScale.Percent();
    const int frames = image.N > 1 && !image.framesAreHorizontal ? image.N : 1;
    const int width = (larger->GetWidth() * percent + setPercent / 2) / setPercent;
    const int frameHeight = (larger->GetHeight() / frames * percent + setPercent / 2) / setPercent;
    return cache.FindOrLoad(key,
                            [&]() -> std::unique_ptr<LICE_IBitmap>
                            { return ReduceFrames(*larger, frames, width, frameHeight); });
}

IControl* IGraphics::GetControl(int index) const
{
    if (index < 0 || index >= NumControls())
        return nullptr;
    return mControls[static_cast<size_t>(index)].get();
}

void IGraphics::SetKeyCatcher(std::unique_ptr<IControl> control)
{
    if (control)
        control->SetGUI(this);
    mKeyCatcher = std::move(control);
}

void IGraphics::ReleaseMouse()
{
    mMouseHolder = -1;
    mMouseX = -1;
    mMouseY = -1;
}

void IGraphics::PromptForParameterValue(IControl* control, PluginParameter* param, const Rect& rect)
{
    if (!control || !param || rect.IsEmpty())
        return;
    const bool hasMenu = param->Type() == ParameterType::EnumType ||
                         (param->Type() == ParameterType::BoolType && param->NumDisplayTexts() > 0);
    if (hasMenu)
        PromptWithMenu(control, param, rect);
    else
        PromptWithTextEntry(control, param, rect);
}

void IGraphics::PromptWithTextEntry(IControl* control, PluginParameter* param, const Rect& rect)
{
    double shown = param->Value();
    if (param->NegateDisplay())
        shown = -shown;
    char text[64] = {};
    if (param->DisplayPrecision() == 0)
        std::snprintf(text, sizeof(text), "%d", static_cast<int>(shown));
    else
        std::snprintf(text, sizeof(text), "%.*f", static_cast<int>(param->DisplayPrecision()), shown);
    OpenTextEntry(control, control->GetTextStyle(), rect, text, param);
}

void IGraphics::PromptWithMenu(IControl* control, PluginParameter* param, const Rect& rect)
{
    char current[PluginParameter::kTextBytes] = {};
    param->FormatDisplayText(current, sizeof(current));
    PopupMenu menu;
    for (int value = 0; value < param->NumDisplayTexts(); ++value)
    {
        const char* label = "";
        for (const DisplayTextEntry& entry : param->DisplayTexts())
            if (entry.value == value)
            {
                label = entry.text;
                break;
            }
        const bool checked = std::strcmp(label, current) == 0;
        menu.AddItem(label, checked ? PopupMenuItem::kChecked : PopupMenuItem::kNoFlags);
    }
    const PopupMenu* chosen = ShowPopupMenu(menu, rect);
    if (chosen != &menu || menu.ChosenItemIndex() < 0)
        return;
    control->ApplyUserValue(param->ToNormalized(menu.ChosenItemIndex()));
}

void IGraphics::DestroyControls()
{
    while (!mControls.empty())
        mControls.pop_back();
}

void IGraphics::MakeBitmaps()
{
    const EditorSize size = WindowSize();
    mBackBuffer = std::make_unique<LICE_SysBitmap>(size.width, size.height);
    mSpareBitmap = std::make_unique<LICE_MemBitmap>();
}

bool IGraphics::StartFileDialog(IFileSelectorControl* /*control*/) { return false; }
