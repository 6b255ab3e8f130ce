#include "graphics/IControl.h"

#include "framework/IPlugBase.h"
#include "graphics/IGraphics.h"
#include "graphics/ITextControl.h"

#include <algorithm>
#include <cstdio>

namespace
{
// The prompt box for parameters without display texts, centred on the control.
constexpr int kPromptHalfWidth = 20;
constexpr int kPromptHalfHeight = 8;
constexpr float kGrayedWeight = 0.25f;
} // namespace

IControl::IControl(IPlugBase* plug, const Rect& rect, int paramIndex, const BlendSpec& blend)
    : mPlug(plug),
      mRect(rect),
      mTargetRect(rect),
      mParamIndex(paramIndex),
      mBlend(blend)
{
}

IControl::~IControl() = default;

void IControl::MouseDown(int /*x*/, int /*y*/, const MouseModifiers& mod)
{
    if (mod.R)
        PromptUserInput();
}

void IControl::MouseUp(int /*x*/, int /*y*/, const MouseModifiers& /*mod*/) {}

void IControl::MouseDrag(int /*x*/, int /*y*/, int /*dX*/, int /*dY*/, const MouseModifiers& /*mod*/) {}

void IControl::MouseDoubleClick(int /*x*/, int /*y*/, const MouseModifiers& /*mod*/)
{
    const double defaultValue = GetDefaultValue();
    if (defaultValue >= 0.0)
    {
        StoreValue(defaultValue);
        MarkChanged(true);
    }
}

void IControl::MouseWheel(int /*x*/, int /*y*/, const MouseModifiers& /*mod*/, int /*notches*/) {}

bool IControl::KeyDown(int /*x*/, int /*y*/, int /*key*/) { return false; }

void IControl::MouseOver(int /*x*/, int /*y*/, const MouseModifiers& /*mod*/) {}

void IControl::MouseOut() {}

void IControl::ReceiveValueFromPlugin(double value)
{
    // The first value the plug-in sends is the one a double click restores. Pushes come
    // from one thread at a time (the plug-in core serialises them), so check-then-store is
    // enough here.
    if (GetDefaultValue() < 0.0)
    {
        mDefaultValue.store(value, std::memory_order_release);
        StoreValue(value);
    }
    if (value != GetValue())
    {
        StoreValue(value);
        // The redraw request goes first: should the window thread's ClearChanged fall
        // between the two marks, it then leaves the control dirty for the next frame.
        RequestRedraw();
        MarkChanged(false);
    }
}

void IControl::ApplyUserValue(double value)
{
    if (value != GetValue())
    {
        StoreValue(value);
        MarkChanged(true);
        RequestRedraw();
    }
}

void IControl::ApplyEnteredText(const char* /*text*/) {}

void IControl::SetHidden(bool hidden)
{
    mHidden.store(hidden, std::memory_order_release);
    RequestRedraw();
    MarkChanged(false);
}

void IControl::SetGrayed(bool grayed)
{
    mGrayed.store(grayed, std::memory_order_release);
    mBlend.weight = grayed ? kGrayedWeight : 1.0f;
    MarkChanged(false);
}

bool IControl::HitTest(int x, int y) { return !mTargetRect.IsEmpty() && mTargetRect.Contains(x, y); }

void IControl::MarkChanged(bool notifyPlugin)
{
    ClampAndMarkDirty();
    if (!notifyPlugin || !mPlug || mParamIndex < 0)
        return;
    mPlug->SetParameterFromEditor(mParamIndex, GetValue());
    if (PluginParameter* param = GetParam())
        UpdateDisplayControls(*param);
}

void IControl::ClearChanged()
{
    // dirty := redraw requested; redraw requested := false, as one step, so a push that
    // lands between the two halves is never lost.
    uint32_t flags = mRedrawFlags.load(std::memory_order_acquire);
    uint32_t next;
    do
    {
        next = (flags & kRedrawRequested) ? kDirty : 0u;
    } while (!mRedrawFlags.compare_exchange_weak(flags, next, std::memory_order_acq_rel,
                                                 std::memory_order_acquire));
}

bool IControl::NeedsRedraw() { return IsDirty(); }

void IControl::ReservedHook19() {}

void IControl::ReceiveAuxValueFromPlugin(int position, double value)
{
    if (position < 0 || position >= NumAuxParams())
        return;
    AuxParam& aux = mAuxParams[static_cast<size_t>(position)];
    if (aux.value.load(std::memory_order_acquire) != value)
    {
        aux.value.store(value, std::memory_order_release);
        RequestRedraw(); // first, as in ReceiveValueFromPlugin
        MarkChanged(false);
    }
}

PluginParameter* IControl::GetParam() const
{
    return (mPlug && mParamIndex >= 0) ? mPlug->GetParam(mParamIndex) : nullptr;
}

void IControl::SetClamp(double lower, double upper)
{
    mClampLow = lower;
    mClampHigh = upper;
}

void IControl::AddAuxParam(int paramIndex) { mAuxParams.emplace_back(paramIndex); }

int IControl::AuxParamIndex(int position) const
{
    if (position < 0 || position >= NumAuxParams())
        return -1;
    return mAuxParams[static_cast<size_t>(position)].paramIndex;
}

int IControl::FindAuxParam(int paramIndex) const
{
    for (int i = 0; i < NumAuxParams(); ++i)
        if (mAuxParams[static_cast<size_t>(i)].paramIndex == paramIndex)
            return i;
    return -1;
}

double IControl::AuxValue(int position) const
{
    if (position < 0 || position >= NumAuxParams())
        return 0.0;
    return mAuxParams[static_cast<size_t>(position)].value.load(std::memory_order_acquire);
}

void IControl::PromptUserInput()
{
    PluginParameter* param = GetParam();
    IGraphics* gui = GetGUI();
    if (!param || mPromptsDisabled || !gui)
        return;
    Rect box = mRect;
    if (param->NumDisplayTexts() == 0)
    {
        const int cx = static_cast<int>((mRect.left + mRect.right) * 0.5);
        const int cy = static_cast<int>((mRect.top + mRect.bottom) * 0.5);
        box = Rect(cx - kPromptHalfWidth, cy - kPromptHalfHeight, cx + kPromptHalfWidth,
                   cy + kPromptHalfHeight);
    }
    gui->PromptForParameterValue(this, param, box);
    RequestRedraw();
}

void IControl::ClampAndMarkDirty()
{
    const double value = GetValue();
    const double clamped = std::min(std::max(value, mClampLow), mClampHigh);
    if (clamped != value)
        StoreValue(clamped);
    mRedrawFlags.fetch_or(kDirty, std::memory_order_acq_rel);
}

void IControl::UpdateDisplayControls(PluginParameter& param)
{
    if (mValueDisplay)
    {
        char display[PluginParameter::kTextBytes] = {};
        param.FormatDisplayText(display, sizeof(display));
        char label[PluginParameter::kTextBytes] = {};
        std::snprintf(label, sizeof(label), "%s", param.GetDisplayLabel());
        std::string text = display;
        text += ' ';
        text += label;
        mValueDisplay->SetText(text.c_str());
    }
    if (mNameDisplay)
        mNameDisplay->SetText(param.Name());
}
