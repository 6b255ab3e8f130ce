// The adapter's side of the editor views: creating them, the list of open views, and the
// resize the core asks for, which goes through the first view's host frame.

#include "vst3/IPlugVST3.h"
#include "vst3/IPlugVST3View.h"

#include <algorithm>
#include <cstring>
#include <new>

using namespace Steinberg;

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString name)
{
    // Without an editor that opens windows hosts fall back to their own parameter editor.
    if (WindowedEditor() == nullptr || name == nullptr || std::strcmp(name, Vst::ViewType::kEditor) != 0)
        return nullptr;
    // The view enters the list itself; the host gets the one reference it holds.
    return new (std::nothrow) IPlugVST3View(this);
}

void IPlugVST3::AddView(IPlugVST3View* view) { mViews.push_back(view); }

void IPlugVST3::RemoveView(IPlugVST3View* view)
{
    mViews.erase(std::remove(mViews.begin(), mViews.end(), view), mViews.end());
}

void IPlugVST3::ResizeEditor(int width, int height)
{
    if (WindowedEditor() == nullptr || mViews.empty())
        return;
    // Only AddView fills the list, so every entry is one of our views.
    static_cast<IPlugVST3View*>(mViews.front())->RequestResize(width, height);
}
