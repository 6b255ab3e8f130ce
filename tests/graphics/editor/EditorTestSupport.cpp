#include "tests/graphics/editor/EditorTestSupport.h"

#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LiceBlit.h"

std::vector<std::string> EditorTestPlugin::EventsStartingWith(const std::string& prefix) const
{
    std::vector<std::string> found;
    for (const std::string& event : events)
        if (event.compare(0, prefix.size(), prefix) == 0)
            found.push_back(event);
    return found;
}

PopupMenu* ScriptedEditor::ShowPopupMenu(PopupMenu& menu, const Rect& rect)
{
    IGraphicsHeadless::ShowPopupMenu(menu, rect);
    ++menusShown;
    shownLabels.clear();
    shownChecks.clear();
    for (int i = 0; i < menu.NumItems(); ++i)
    {
        shownLabels.push_back(menu.ItemLabel(i));
        shownChecks.push_back(menu.GetItem(i)->IsChecked());
    }
    PopupMenu* target = &menu;
    for (int position : mSubmenuPath)
    {
        PopupMenuItem* item = target->GetItem(position);
        target = item ? item->Submenu() : nullptr;
        if (!target)
            return nullptr;
    }
    if (mChoice < 0 || mChoice >= target->NumItems())
        return nullptr;
    // Through the command ids, as a native menu reports a choice.
    return menu.FindByCommandId(menu.FirstCommandId(target) + mChoice);
}

void ScriptedEditor::OpenTextEntry(IControl* /*control*/, const TextStyle& /*style*/, const Rect& rect,
                                   const char* initialText, PluginParameter* param)
{
    entryText = initialText ? initialText : "";
    entryRect = rect;
    entryParam = param;
}

LICE_pixel FrameColor(int frame) { return LICE_RGBA(frame * 2, 255 - frame * 2, frame, 255); }

std::unique_ptr<LICE_MemBitmap> MakeStrip(int frameWidth, int frameHeight, int frames)
{
    auto strip = std::make_unique<LICE_MemBitmap>(frameWidth, frameHeight * frames);
    for (int frame = 1; frame <= frames; ++frame)
        FillRect(strip.get(), 0, (frame - 1) * frameHeight, frameWidth, frameHeight, FrameColor(frame), 1.0f,
                 BlendCopy);
    return strip;
}

std::unique_ptr<LICE_MemBitmap> MakeSolid(int width, int height, LICE_pixel color)
{
    auto bitmap = std::make_unique<LICE_MemBitmap>(width, height);
    FillRect(bitmap.get(), 0, 0, width, height, color, 1.0f, BlendCopy);
    return bitmap;
}

ScriptedEditor* AttachNewEditor(EditorTestPlugin& plug, const std::vector<IControl*>& controls,
                                IControl* background)
{
    auto editor = std::make_unique<ScriptedEditor>(&plug);
    if (background)
        editor->AddControl(std::unique_ptr<IControl>(background));
    for (IControl* control : controls)
        editor->AddControl(std::unique_ptr<IControl>(control));
    ScriptedEditor* raw = editor.get();
    plug.AttachEditor(std::move(editor));
    return raw;
}

std::vector<LICE_pixel> Snapshot(const IGraphics& editor)
{
    std::vector<LICE_pixel> pixels;
    const LICE_SysBitmap* buffer = editor.BackBuffer();
    for (int y = 0; y < buffer->GetHeight(); ++y)
        for (int x = 0; x < buffer->GetWidth(); ++x)
            pixels.push_back(buffer->GetBits()[y * buffer->GetRowSpan() + x]);
    return pixels;
}
