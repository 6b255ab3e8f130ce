#include "tests/graphics/window/EditorWindowFixture.h"

#include "graphics/IPanelControl.h"

#include <cstdio>

namespace
{
PluginConfig HarnessConfig()
{
    PluginConfig config;
    config.numParams = 2;
    config.channelIoString = "0-2";
    config.effectName = "Kestrum";
    config.pluginApi = kApiVst2; // a right click reaches the control
    return config;
}

// Frame f of the strip is one colour: red 2f, green 200 - 2f, blue 128.
LICE_pixel FrameColor(int frame) { return LICE_RGBA(2 * frame, 200 - 2 * frame, 128, 255); }
} // namespace

const Rect EditorWindowLayout::kKnobA(20, 20, 60, 60);
const Rect EditorWindowLayout::kKnobB(100, 20, 140, 60);

int KnobFrameFor(double value) { return static_cast<int>((EditorWindowLayout::kFrames - 1) * value + 0.5); }

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

EditorWindowLayout::EditorWindowLayout() : mStrip(kKnobSize, kKnobSize * kFrames)
{
    for (int y = 0; y < mStrip.GetHeight(); ++y)
        for (int x = 0; x < kKnobSize; ++x)
            mStrip.GetBits()[y * mStrip.GetRowSpan() + x] = FrameColor(y / kKnobSize);
}

IKnobMultiControl* EditorWindowLayout::AddControls(IGraphics& editor, IPlugBase& plug)
{
    const BitmapRef strip(&mStrip, mStrip.GetWidth(), mStrip.GetHeight(), kFrames, false);
    editor.AddControl(std::make_unique<IPanelControl>(&plug, Rect(0, 0, 500, 480), Color(255, 90, 90, 90),
                                                      BlendSpec(BlendSpec::kCopy)));
    auto* knobA = static_cast<IKnobMultiControl*>(editor.AddControl(
        std::make_unique<IKnobMultiControl>(&plug, kKnobA.left, kKnobA.top, 0, strip, IKnobControl::kVertical,
                                            4.0, BlendSpec(BlendSpec::kCopy))));
    knobA->SetPromptsEnabled(true);
    editor.AddControl(std::make_unique<IKnobMultiControl>(
        &plug, kKnobB.left, kKnobB.top, 1, strip, IKnobControl::kVertical, 4.0, BlendSpec(BlendSpec::kCopy)));
    return knobA;
}

LICE_pixel EditorWindowLayout::FramePixel(int frame, int x, int y) const
{
    return mStrip.GetBits()[(frame * kKnobSize + y) * mStrip.GetRowSpan() + x] & 0xFFFFFF;
}

int ControlMissedAtItsCentre(const IGraphics& editor)
{
    const EditorScale& scale = editor.Scale();
    for (int i = 1; i < editor.NumControls(); ++i)
    {
        const Rect r = scale.ToPhysical(editor.GetControl(i)->GetRect());
        if (editor.FindControlAt(scale.ToLogical((r.left + r.right) / 2),
                                 scale.ToLogical((r.top + r.bottom) / 2)) != i)
            return i;
    }
    return -1;
}
