// Value prompts, text entry and popup menus: what the user is offered and what a choice or
// a typed text turns into.

#include "graphics/IFileSelectorControl.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/IPopupMenu_PresetSelector.h"
#include "tests/graphics/editor/EditorTestSupport.h"

#include <gtest/gtest.h>

namespace
{
constexpr int kModeParam = 10;   // an enumeration: Off, Low, High
constexpr int kPresetParam = 13; // the preset selection, -1 to 10000

void DefineModeParam(IPlugBase& plug)
{
    PluginParameter* mode = plug.GetParam(kModeParam);
    mode->SetType(ParameterType::EnumType);
    mode->DefineContinuous("Mode", 1.0, 0.0, 2.0, 1.0);
    mode->AddDisplayText(0, "Off");
    mode->AddDisplayText(1, "Low");
    mode->AddDisplayText(2, "High");
    mode->SetPlainValue(1.0);
}

TEST(TextEntry, CharacterFilterFollowsTheParameterType)
{
    EditorTestPlugin plug;
    DefineModeParam(plug);
    const PluginParameter* number = plug.GetParam(3); // continuous
    const PluginParameter* mode = plug.GetParam(kModeParam);
    auto typed = [](const PluginParameter* param, const char* keys)
    {
        std::string kept;
        for (const char* key = keys; *key; ++key)
            if (IGraphics::EntryAcceptsChar(param, *key))
                kept += *key;
        return kept;
    };
    EXPECT_EQ(typed(number, "12a"), "12");
    EXPECT_EQ(typed(number, "-1.5e"), "-1.5");
    EXPECT_EQ(typed(mode, "+1.5x"), "+15");
    EXPECT_EQ(typed(nullptr, "any text."), "any text.");
    EXPECT_TRUE(IGraphics::EntryAcceptsChar(mode, 8)); // backspace always
}

TEST(TextEntry, RightClickPromptsAndCommittedTextBecomesTheValue)
{
    EditorTestPlugin plug(kApiVst2); // under VST3 the host's menu takes the right click
    DefineModeParam(plug);
    auto strip = MakeStrip(40, 40, 99);
    auto* knob = new IKnobMultiControl(&plug, 100, 100, 3, BitmapRef(strip.get(), 40, 40 * 99, 99));
    knob->SetPromptsEnabled(true);
    auto* modeKnob =
        new IKnobMultiControl(&plug, 200, 100, kModeParam, BitmapRef(strip.get(), 40, 40 * 99, 99));
    ScriptedEditor* editor = AttachNewEditor(plug, {knob, modeKnob});

    editor->HandleMouseDown(110, 110, MouseModifiers(false, true));
    EXPECT_EQ(editor->entryText, "0.50000");
    EXPECT_EQ(editor->entryRect, Rect(100, 112, 140, 128));
    ASSERT_EQ(editor->entryParam, plug.GetParam(3));

    IGraphics::CommitEnteredText(knob, editor->entryParam, "0.25");
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);
    EXPECT_DOUBLE_EQ(plug.GetParam(3)->Value(), 0.25);
    IGraphics::CommitEnteredText(modeKnob, plug.GetParam(kModeParam), "High");
    EXPECT_DOUBLE_EQ(modeKnob->GetValue(), 1.0);
    IGraphics::CommitEnteredText(modeKnob, plug.GetParam(kModeParam), "high"); // no match: 0
    EXPECT_DOUBLE_EQ(modeKnob->GetValue(), 0.0);
}

TEST(PopupMenus, EnumerationPromptChecksTheCurrentTextAndAppliesTheChoice)
{
    EditorTestPlugin plug(kApiVst2);
    DefineModeParam(plug);
    auto strip = MakeStrip(40, 40, 3);
    auto* control = new IKnobMultiControl(&plug, 0, 0, kModeParam, BitmapRef(strip.get(), 40, 120, 3));
    control->SetPromptsEnabled(true);
    ScriptedEditor* editor = AttachNewEditor(plug, {control});

    editor->ChooseNextMenuItem({}, 2);
    editor->HandleMouseDown(5, 5, MouseModifiers(false, true));
    EXPECT_EQ(editor->shownLabels, (std::vector<std::string>{"Off", "Low", "High"}));
    EXPECT_EQ(editor->shownChecks, (std::vector<bool>{false, true, false}));
    EXPECT_DOUBLE_EQ(control->GetValue(), 1.0);
    EXPECT_DOUBLE_EQ(plug.GetParam(kModeParam)->Value(), 2.0);

    editor->ChooseNextMenuItem({}, -1); // dismissed: nothing changes
    editor->HandleMouseDown(5, 5, MouseModifiers(false, true));
    EXPECT_DOUBLE_EQ(control->GetValue(), 1.0);
}

TEST(PopupMenus, CommandIdsNumberEachMenuThenItsSubmenusAndLabelsFollowTheNumbering)
{
    PopupMenu root(PopupMenu::kTwoDigits);
    root.AddItem("a");
    PopupMenu& first = root.AddSubmenu("sub 1", std::make_unique<PopupMenu>());
    root.AddSeparator();
    PopupMenu& second = root.AddSubmenu("sub 2", std::make_unique<PopupMenu>());
    first.AddItem("x");
    first.AddItem("y");
    PopupMenu& nested = first.AddSubmenu("deeper", std::make_unique<PopupMenu>());
    nested.AddItem("n");
    second.AddItem("z");
    // root 0-3, first 4-6, nested 7, second 8.
    EXPECT_EQ(root.CommandIdCount(), 9);
    const struct
    {
        int id;
        PopupMenu* menu;
        int index;
    } cases[] = {{0, &root, 0},   {3, &root, 3},   {5, &first, 1},
                 {7, &nested, 0}, {8, &second, 0}, {9, nullptr, -1}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.id);
        PopupMenu* found = root.FindByCommandId(c.id);
        EXPECT_EQ(found, c.menu);
        if (found)
        {
            EXPECT_EQ(found->ChosenItemIndex(), c.index);
            EXPECT_EQ(root.FirstCommandId(c.menu) + c.index, c.id);
        }
    }
    EXPECT_EQ(root.ItemLabel(3), "04: sub 2");
    EXPECT_EQ(first.ItemLabel(0), "x");
}

// Two plain choices, then two submenus of three; a choice's number tells menu and position.
class TwoLevelMenu : public PresetMenuContent
{
public:
    int MenuCount() const override { return 3; }
    int ItemCount(int menu) const override { return menu == 0 ? 4 : (menu <= 2 ? 3 : 0); }
    std::string ItemText(int menu, int position) const override
    {
        return "item " + std::to_string(menu) + "." + std::to_string(position);
    }
    std::optional<int> ChoiceNumber(int menu, int position) const override
    {
        if (menu == 0 && position >= 2)
            return std::nullopt;
        return 10 * menu + position + 1;
    }
};

TEST(PresetSelector, MenuChoiceSetsTheContentsNumberAndCallsThePluginWithoutTellingTheHost)
{
    EditorTestPlugin plug;
    plug.GetParam(kPresetParam)->DefineContinuous("PresetSelector", 0.0, -1.0, 10000.0, 1.0);
    auto* selector = new IPopupMenu_PresetSelector(&plug, Rect(60, 40, 440, 65), kPresetParam,
                                                   std::make_unique<TwoLevelMenu>());
    ScriptedEditor* editor = AttachNewEditor(plug, {selector});
    ASSERT_EQ(selector->Menu(0)->NumItems(), 4);
    ASSERT_NE(selector->Menu(2), nullptr);
    EXPECT_EQ(selector->Menu(2)->NumItems(), 3);
    EXPECT_EQ(selector->Menu(3), nullptr);

    const struct
    {
        std::vector<int> path;
        int index;
        double expected;
    } cases[] = {
        {{}, 1, 2.0},   // a plain item of the main menu
        {{2}, 0, 11.0}, // the first submenu
        {{3}, 2, 23.0}, // the last item of the last submenu
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.expected);
        plug.events.clear();
        editor->ChooseNextMenuItem(c.path, c.index);
        editor->HandleMouseDown(100, 50, MouseModifiers(true));
        editor->HandleMouseUp(100, 50, MouseModifiers(true));
        EXPECT_DOUBLE_EQ(plug.GetParam(kPresetParam)->Value(), c.expected);
        EXPECT_EQ(plug.events, (std::vector<std::string>{"change 13"}));
    }
    plug.events.clear();
    editor->ChooseNextMenuItem({}, -1);
    editor->HandleMouseDown(100, 50, MouseModifiers(true));
    EXPECT_TRUE(plug.events.empty());
}

TEST(FileSelector, EachUseTogglesTheValueAndACancelledDialogLeavesNoFile)
{
    EditorTestPlugin plug;
    auto image = MakeSolid(40, 25, LICE_RGBA(9, 9, 9, 255));
    auto* selector =
        new IFileSelectorControl(&plug, Rect(0, 40, 40, 65), 11, BitmapRef(image.get(), 40, 25, 1),
                                 IGraphics::kFileOpen, "presets", "kestrumpreset");
    selector->SetFile("stale.kestrumpreset");
    ScriptedEditor* editor = AttachNewEditor(plug, {selector});
    editor->PushValueToControls(11, 0.0, true);
    std::vector<double> seen;
    for (int use = 0; use < 3; ++use)
    {
        editor->HandleMouseDown(10, 50, MouseModifiers(true));
        editor->HandleMouseUp(10, 50, MouseModifiers(true));
        seen.push_back(selector->GetValue());
    }
    EXPECT_EQ(seen, (std::vector<double>{1.0, 0.0, 1.0}));
    EXPECT_EQ(selector->File(), "");
    EXPECT_EQ(selector->Folder(), "presets");
    EXPECT_EQ(plug.EventsStartingWith("notify 11").size(), 3u);
}
} // namespace
