#pragma once
// A headless editor on a recording plug-in, with images made in memory: what the editor
// tests drive. The plug-in records the edit brackets and host menus besides what
// TestPlugin records; the editor can be told which menu item the "user" picks and records
// the text entries it is asked to open.

#include "graphics/IGraphicsHeadless.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LICE_MemBitmap.h"
#include "tests/framework/TestPlugin.h"

#include <memory>
#include <string>
#include <vector>

constexpr int kEditorWidth = 500;
constexpr int kEditorHeight = 480;
constexpr int kFrameRate = 25;

class EditorTestPlugin : public TestPlugin
{
public:
    explicit EditorTestPlugin(int32_t pluginApi = kApiVst3) : TestPlugin(ConfigFor(pluginApi)) {}

    void BeginParameterEdit(int paramIndex) override
    {
        events.push_back("begin " + std::to_string(paramIndex));
    }
    void EndParameterEdit(int paramIndex) override { events.push_back("end " + std::to_string(paramIndex)); }
    void ResizeEditor(int width, int height) override
    {
        events.push_back("resize " + std::to_string(width) + " " + std::to_string(height));
    }
    void ShowHostContextMenu(int paramIndex, int x, int y) override
    {
        events.push_back("host menu " + std::to_string(paramIndex) + " " + std::to_string(x) + " " +
                         std::to_string(y));
    }

    // The events that start with `prefix`.
    std::vector<std::string> EventsStartingWith(const std::string& prefix) const;

private:
    static PluginConfig ConfigFor(int32_t pluginApi)
    {
        PluginConfig config = TestConfig();
        config.pluginApi = pluginApi;
        return config;
    }
};

class ScriptedEditor : public IGraphicsHeadless
{
public:
    explicit ScriptedEditor(IPlugBase* plug)
        : IGraphicsHeadless(plug, kEditorWidth, kEditorHeight, kFrameRate)
    {
    }

    // The next menu shown answers with item `index` of its submenu `submenuPath` (empty:
    // the menu itself); a negative index dismisses it.
    void ChooseNextMenuItem(std::vector<int> submenuPath, int index)
    {
        mSubmenuPath = std::move(submenuPath);
        mChoice = index;
    }

    PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) override;
    void OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect, const char* initialText,
                       PluginParameter* param) override;

    // What the last shown menu offered: the item labels and which were checked.
    std::vector<std::string> shownLabels;
    std::vector<bool> shownChecks;
    int menusShown = 0;
    // The last text entry opened.
    std::string entryText;
    Rect entryRect;
    PluginParameter* entryParam = nullptr;

private:
    std::vector<int> mSubmenuPath;
    int mChoice = -1;
};

// An opaque strip of `frames` frames of frameWidth x frameHeight, stacked; frame k (from 1)
// is filled with FrameColor(k).
std::unique_ptr<LICE_MemBitmap> MakeStrip(int frameWidth, int frameHeight, int frames);
LICE_pixel FrameColor(int frame);
// One opaque colour.
std::unique_ptr<LICE_MemBitmap> MakeSolid(int width, int height, LICE_pixel color);

// The editor attached to its plug-in (which then owns it), as the instrument does.
ScriptedEditor* AttachNewEditor(EditorTestPlugin& plug, const std::vector<IControl*>& controls,
                                IControl* background = nullptr);

// A copy of the back buffer's pixels, row by row.
std::vector<LICE_pixel> Snapshot(const IGraphics& editor);
