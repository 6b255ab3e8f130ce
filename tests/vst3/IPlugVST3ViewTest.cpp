// The editor view on a small core of the test's own, whose editor pretends to open windows:
// what the view tells the core and the editor, the resize the core asks for, and the orders
// in which hosts attach, remove and release views and components (run under the sanitizers,
// so a dangling pointer shows).

#include "vst3/IPlugVST3.h"
#include "vst3/IPlugVST3View.h"

#include "tests/vst3/host/RecordingPlugFrame.h"

#include "graphics/IGraphicsHeadless.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace Steinberg;

namespace
{

constexpr int kWidth = 300;
constexpr int kHeight = 200;

// Records what the view does to it; the "window" is a token, not a real one.
class WindowRecordingEditor : public IGraphicsHeadless
{
public:
    WindowRecordingEditor(IPlugBase* plug, std::vector<std::string>& log)
        : IGraphicsHeadless(plug, kWidth, kHeight, 25),
          log(log)
    {
    }
    // Pretends to be a Win32 editor, the system whose name the view gives hosts. [any thread]
    EditorWindowSystem WindowSystem() const override { return EditorWindowSystem::kWin32; }
    // [window thread]
    EditorWindowHandle CreateEditorWindow(EditorWindowHandle parent) override
    {
        log.push_back("create");
        window = parent != nullptr ? &window : nullptr;
        return window;
    }
    // [window thread]
    void DestroyEditorWindow() override
    {
        log.push_back("destroy");
        window = nullptr;
    }
    // [window thread]
    EditorWindowHandle EditorWindow() override { return window; }

private:
    std::vector<std::string>& log;
    EditorWindowHandle window = nullptr;
};

class ViewPlug : public IPlugVST3
{
public:
    explicit ViewPlug(std::vector<std::string>& log, bool withEditor = true)
        : IPlugVST3(HostContext{}, Config()),
          log(log)
    {
        if (withEditor)
            AttachEditor(std::make_unique<WindowRecordingEditor>(this, log));
    }
    // [window thread]
    void OnEditorOpen() override { log.push_back("open"); }
    // [window thread]
    void OnEditorClose() override { log.push_back("close"); }
    // [window thread]
    void OnEditorResized() override { log.push_back("resized"); }

    static PluginConfig Config()
    {
        PluginConfig config;
        config.numParams = 1;
        config.channelIoString = "2-2";
        config.effectName = "ViewTest";
        config.isInstrument = true;
        return config;
    }

    std::vector<std::string>& log;
};

// A parent window token; the fake editor never dereferences it.
int gParent = 0;

class IPlugVST3ViewTest : public ::testing::Test
{
protected:
    std::vector<std::string> log;
};

} // namespace

TEST_F(IPlugVST3ViewTest, AttachRemoveAndAttachAgainOpenAndCloseTheOneWindow)
{
    auto* plug = new ViewPlug(log);
    auto* view = new IPlugVST3View(plug);
    EXPECT_EQ(plug->NumViews(), 1);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);
    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right, kWidth);
    EXPECT_EQ(size.bottom, kHeight);
    EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);

    EXPECT_EQ(view->attached(&gParent, kPlatformTypeHWND), kResultOk);
    // A second attach, of this view or of another, would lose the open window.
    auto* other = new IPlugVST3View(plug);
    EXPECT_EQ(view->attached(&gParent, kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(other->attached(&gParent, kPlatformTypeHWND), kResultFalse);
    // Only the view that opened the window closes it.
    EXPECT_EQ(other->removed(), kResultOk);
    other->release();
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_EQ(view->attached(&gParent, kPlatformTypeHWND), kResultOk);
    EXPECT_EQ(view->removed(), kResultOk);
    // Another platform type opens no window but still tells the core.
    EXPECT_EQ(view->attached(&gParent, kPlatformTypeX11EmbedWindowID), kResultOk);
    EXPECT_EQ(view->removed(), kResultOk);
    // A window that cannot be opened is a failed attach, not an open editor.
    EXPECT_EQ(view->attached(nullptr, kPlatformTypeHWND), kResultFalse);
    EXPECT_FALSE(view->IsOpen());

    const std::vector<std::string> expected = {"create", "open",    "close", "destroy", "create",  "open",
                                               "close",  "destroy", "open",  "close",   "destroy", "create"};
    EXPECT_EQ(log, expected);
    view->release();
    EXPECT_EQ(plug->NumViews(), 0);
    plug->release();
}

TEST_F(IPlugVST3ViewTest, CoreResizeGoesThroughTheFirstViewsFrame)
{
    auto* plug = new ViewPlug(log);
    auto* first = new IPlugVST3View(plug);
    auto* second = new IPlugVST3View(plug);
    RecordingPlugFrame frame;
    frame.grant = false;
    first->setFrame(&frame);

    // Without a pending resize, a host's onSize only keeps the rectangle.
    ViewRect hostSize(0, 0, 640, 480);
    EXPECT_EQ(first->onSize(&hostSize), kResultOk);
    EXPECT_EQ(first->onSize(nullptr), kResultOk);
    EXPECT_EQ(first->getRect().right, 640);
    EXPECT_TRUE(log.empty());

    plug->ResizeEditor(400, 250);
    ASSERT_EQ(frame.requests.size(), 1u);
    EXPECT_EQ(frame.requests[0].right, 400);
    EXPECT_EQ(frame.requests[0].bottom, 250);
    EXPECT_TRUE(first->ResizePending());
    EXPECT_FALSE(second->ResizePending());
    ViewRect granted(0, 0, 400, 250);
    EXPECT_EQ(first->onSize(&granted), kResultOk);
    EXPECT_FALSE(first->ResizePending());
    EXPECT_EQ(log, std::vector<std::string>{"resized"});

    // A host that grants at once completes the resize inside the request.
    frame.grant = true;
    plug->ResizeEditor(500, 480);
    EXPECT_FALSE(first->ResizePending());
    EXPECT_EQ(log, (std::vector<std::string>{"resized", "resized"}));

    // The first view gone, the next one in the list takes the requests.
    first->setFrame(nullptr);
    first->release();
    plug->ResizeEditor(10, 10);
    EXPECT_TRUE(second->ResizePending());
    second->release();
    plug->release();
}

TEST_F(IPlugVST3ViewTest, WithoutAnEditorTheViewRefusesEverything)
{
    auto* plug = new ViewPlug(log, false);
    auto* view = new IPlugVST3View(plug);
    ViewRect size;
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(view->attached(&gParent, kPlatformTypeHWND), kResultFalse);
    EXPECT_EQ(view->getSize(&size), kResultFalse);
    EXPECT_EQ(view->removed(), kResultOk);
    plug->ResizeEditor(10, 10);
    EXPECT_FALSE(view->ResizePending());
    EXPECT_TRUE(log.empty());
    view->release();
    plug->release();
}

// Whichever goes first, nothing is left pointing at what is gone; a view dropped while still
// attached closes its window itself.
TEST_F(IPlugVST3ViewTest, HostsReleaseViewAndPlugInInEitherOrder)
{
    for (const bool viewFirst : {true, false})
    {
        log.clear();
        auto* plug = new ViewPlug(log);
        auto* view = new IPlugVST3View(plug);
        ASSERT_EQ(view->attached(&gParent, kPlatformTypeHWND), kResultOk);
        if (viewFirst)
        {
            view->release();
            EXPECT_EQ(plug->NumViews(), 0);
            plug->terminate();
            plug->release();
        }
        else
        {
            plug->terminate(); // forgets the views; the view still holds the plug-in
            plug->release();
            plug->ResizeEditor(1, 1);
            EXPECT_EQ(view->removed(), kResultOk);
            view->release();
        }
        EXPECT_EQ(log, (std::vector<std::string>{"create", "open", "close", "destroy"}))
            << "view first: " << viewFirst;
    }
}

TEST_F(IPlugVST3ViewTest, ContentScaleSizesTheViewBeforeOrAfterAttachedAndResizesAnOpenOne)
{
    auto* plug = new ViewPlug(log);
    auto* view = new IPlugVST3View(plug);
    RecordingPlugFrame frame;
    view->setFrame(&frame);
    IPlugViewContentScaleSupport* scaling = nullptr;
    ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)),
              kResultOk);
    ASSERT_NE(scaling, nullptr);
    const auto sizeOf = [view]()
    {
        ViewRect size;
        view->getSize(&size);
        return std::to_string(size.getWidth()) + "x" + std::to_string(size.getHeight());
    };

    // Before attached: the host sizes its frame from getSize, so nothing needs resizing.
    EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultTrue);
    EXPECT_EQ(sizeOf(), "450x300");
    ASSERT_EQ(view->attached(&gParent, kPlatformTypeHWND), kResultOk);
    EXPECT_TRUE(frame.requests.empty());

    // While open: the view asks the host frame for the new size.
    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
    EXPECT_EQ(sizeOf(), "600x400");
    ASSERT_EQ(frame.requests.size(), 1u);
    EXPECT_EQ(frame.requests[0].getWidth(), 600);
    EXPECT_EQ(frame.requests[0].getHeight(), 400);

    // Nonsense is refused and changes nothing.
    for (const float bad : {0.0f, -1.0f, std::nanf(""), INFINITY})
        EXPECT_EQ(scaling->setContentScaleFactor(bad), kInvalidArgument);
    EXPECT_EQ(sizeOf(), "600x400");
    EXPECT_EQ(frame.requests.size(), 1u);

    view->removed();
    scaling->release();
    view->setFrame(nullptr);
    view->release();
    plug->release();
}
