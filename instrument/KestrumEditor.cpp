// Builds Kestrum's editor from its layout table (KestrumLayout.h): the window-layer editor,
// the background, the controls in drawing order, and the preset bar the preset actions use.

#include <memory>
#include <string>

#include "graphics/EditorWindowLayer.h"
#include "graphics/IBitmapControl.h"
#include "graphics/IContactControl.h"
#include "graphics/IFileSelectorControl.h"
#include "graphics/IGraphics.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/IPanelControl.h"
#include "graphics/IPopupMenu_PresetSelector.h"
#include "graphics/ISwitchControl.h"
#include "graphics/ITextControl.h"
#include "instrument/Kestrum.h"
#include "instrument/KestrumEditorPresetBar.h"
#include "instrument/KestrumPresetMenu.h"
#include "instrument/KestrumLayout.h"
#include "instrument/PresetCatalogue.h"
#include "instrument/PresetLibrary.h"

namespace
{

using namespace KestrumLayout;

// Every control copies its image using the image's own alpha.
const BlendSpec kControlBlend(BlendSpec::kAlpha, 1.0f);
// The translucent black field behind the preset name.
const Color kPresetFieldColor(140, 0, 0, 0);
// One extension, which the file dialogs also use as the default one.
constexpr char kPresetExtension[] = "kestrumpreset";

TextStyle PresetNameStyle()
{
    return TextStyle("Arial", 20, Color(255, 100, 100, 100), TextStyle::kBold, TextStyle::kCentre, 0,
                     TextStyle::kDefaultQuality, Color(255, 255, 255, 255), Color(255, 0, 0, 0));
}

// The file dialogs start in the preset library, named the way the dialogs want folders.
std::string DialogFolder(const std::string& libraryFolder)
{
    std::string folder = libraryFolder;
    if (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return PresetLibrary::WithBackslashes(folder);
}

Rect RectOf(const Bounds& bounds) { return Rect(bounds.left, bounds.top, bounds.right, bounds.bottom); }

std::unique_ptr<IControl> MakeControl(IPlugBase* plug, const Row& row, const Rect& rect,
                                      const BitmapRef& bitmap, const std::string& folder)
{
    switch (row.kind)
    {
        case ControlKind::Bitmap:
            return std::make_unique<IBitmapControl>(plug, rect, row.paramIndex, bitmap, kControlBlend);
        case ControlKind::Switch:
            return std::make_unique<ISwitchControl>(plug, row.left, row.top, row.paramIndex, bitmap,
                                                    kControlBlend);
        case ControlKind::Contact:
            return std::make_unique<IContactControl>(plug, row.left, row.top, row.paramIndex, bitmap,
                                                     kControlBlend);
        case ControlKind::Knob:
            return std::make_unique<IKnobMultiControl>(plug, row.left, row.top, row.paramIndex, bitmap,
                                                       IKnobControl::kVertical, IKnobControl::kDefaultGearing,
                                                       kControlBlend);
        case ControlKind::Panel:
            return std::make_unique<IPanelControl>(plug, rect, kPresetFieldColor, kControlBlend);
        case ControlKind::Text:
            return std::make_unique<ITextControl>(plug, rect, PresetNameStyle(),
                                                  PresetCatalogue::kNoPresetText);
        case ControlKind::PresetMenu:
            return std::make_unique<IPopupMenu_PresetSelector>(
                plug, rect, kPresetSelector, std::make_unique<KestrumPresetMenu>(), kControlBlend);
        case ControlKind::FileSelector:
        {
            const int action = row.paramIndex == kPresetSave ? IGraphics::kFileSave : IGraphics::kFileOpen;
            return std::make_unique<IFileSelectorControl>(plug, rect, row.paramIndex, bitmap, action,
                                                          folder.c_str(), kPresetExtension, kControlBlend);
        }
        case ControlKind::Background: break;
    }
    return nullptr;
}

// Image-sized rectangles follow the table's rule also when an image is missing (then
// they are empty); the controls that size themselves from their image would not.
void PlaceControl(IControl& control, const Rect& rect)
{
    control.SetRect(rect);
    control.SetTargetRect(rect);
}

} // namespace

void Kestrum::BuildEditor()
{
    std::unique_ptr<IGraphics> editor =
        MakeEditorWindowLayer(this, kEditorWidth, kEditorHeight, kFramesPerSecond);
    if (!editor)
        return;

    const std::string folder = DialogFolder(PresetLibraryFolder());
    for (const Row& row : kRows)
    {
        const ImageFile* image = FindImage(row.imageId);
        if (row.kind == ControlKind::Background)
        {
            editor->SetBackgroundImage(row.imageId, image->fileName);
            continue;
        }
        const BitmapRef bitmap =
            image ? editor->GetImage(row.imageId, image->fileName, row.frames) : BitmapRef();
        const Rect rect = RectOf(RowBounds(row, bitmap.W, bitmap.H));
        IControl* control = editor->AddControl(MakeControl(this, row, rect, bitmap, folder));
        if (control != nullptr)
            PlaceControl(*control, rect);
    }

    auto* nameDisplay = dynamic_cast<ITextControl*>(editor->GetControl(kPresetNameRow));
    auto* loadSelector = dynamic_cast<IFileSelectorControl*>(editor->GetControl(kPresetLoadRow));
    auto* saveSelector = dynamic_cast<IFileSelectorControl*>(editor->GetControl(kPresetSaveRow));
    if (nameDisplay && loadSelector && saveSelector)
        SetPresetBar(std::make_unique<KestrumEditorPresetBar>(nameDisplay, loadSelector, saveSelector));

    AttachEditor(std::move(editor));
}
