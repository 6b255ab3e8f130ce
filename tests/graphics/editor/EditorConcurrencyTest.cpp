// Host automation pushes values into the editor from the audio thread while the window
// thread draws frames. Run under ThreadSanitizer: nothing may race, and no pushed value may
// be lost between the push and the frame that shows it.

#include "graphics/IKnobMultiControl.h"
#include "graphics/ITextControl.h"
#include "tests/graphics/editor/EditorTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace
{
constexpr int kFrames = 99;
constexpr int kAutomatedParam = 5;

// A knob that tells the test which frame it drew last.
class ReportingKnob : public IKnobMultiControl
{
public:
    using IKnobMultiControl::IKnobMultiControl;
    bool Draw(IGraphics& graphics) override
    {
        drawnFrame.store(FrameForValue(), std::memory_order_release);
        return IKnobMultiControl::Draw(graphics);
    }
    std::atomic<int> drawnFrame{0};
};

TEST(EditorConcurrency, AutomationPushedFromAnotherThreadAlwaysReachesTheNextFrames)
{
    auto strip = MakeStrip(40, 40, kFrames);
    EditorTestPlugin plug;
    auto* knob = new ReportingKnob(&plug, 100, 100, kAutomatedParam,
                                   BitmapRef(strip.get(), 40, 40 * kFrames, kFrames));
    auto* label = new ITextControl(&plug, Rect(0, 0, 200, 20), TextStyle(), "label");
    ScriptedEditor* editor = AttachNewEditor(plug, {knob, label});

    std::atomic<bool> stop{false};
    std::thread window(
        [&]
        {
            while (!stop.load(std::memory_order_acquire))
            {
                editor->RunFrame();
                // The window thread also reads what the pushes write.
                (void)knob->GetValue();
            }
        });

    // Every push must show up: the audio thread moves on only when the window thread has
    // drawn the pushed frame. A push whose marks a frame wiped out would never be drawn.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int lost = 0;
    for (int step = 0; step < 600 && lost == 0; ++step)
    {
        const int frame = 1 + (step * 37) % kFrames;
        const double value = static_cast<double>(frame - 1) / (kFrames - 1);
        if (knob->FrameForValue() == frame)
            continue;
        editor->PushValueToControls(kAutomatedParam, value, true);
        editor->PushValueToControls(27, 500.0, false); // a plain value on a parameter without controls
        while (knob->drawnFrame.load(std::memory_order_acquire) != frame)
        {
            if (std::chrono::steady_clock::now() > deadline)
            {
                ++lost;
                break;
            }
            std::this_thread::yield();
        }
        if (step % 50 == 0)
            label->SetText(step % 100 == 0 ? "even" : "odd");
    }
    stop.store(true, std::memory_order_release);
    window.join();
    EXPECT_EQ(lost, 0);
}
} // namespace
