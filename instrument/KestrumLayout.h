#pragma once
// Kestrum's editor as data: its size, its twelve images and its controls in drawing order.
//
// The editor builder (KestrumEditor.cpp) walks this table to create the controls, and the
// tests walk it to check what the builder made, so the layout is written down exactly once.
// A row's rectangle is either fixed or "sized by its image": left and top as listed, right =
// left + image width, bottom = top + image height / frames (truncated). An image that fails
// to load leaves such a rectangle empty.

#include <cstddef>

#include "engine/EngineParameterRecord.h"

namespace KestrumLayout
{

constexpr int kEditorWidth = 500;
constexpr int kEditorHeight = 480;
constexpr int kFramesPerSecond = 25;

// Resource ids of the images (resources of type "PNG" in each module).
enum ImageId : int
{
    kBackgroundImage = 101,
    kSmallButtonImage = 102,
    kLargeButtonImage = 103,
    kBackwardImage = 104,
    kForwardImage = 105,
    kLoadImage = 106,
    kSaveImage = 107,
    kLargeKnobImage = 108,
    kSmallKnobImage = 109,
    kHeaderImage = 110,
    kPanelImage = 111,
    kShadowImage = 112,
};

struct ImageFile
{
    int id;
    // Relative to the source tree; the name also selects the PNG decoder.
    const char* fileName;
    int width;
    int height;
    int frames;
};

// clang-format off
constexpr ImageFile kImages[] = {
    {kBackgroundImage,  "resources/img/qa_background_0002.png",                1000, 1000,  1},
    {kSmallButtonImage, "resources/img/qa_button_0022_red.png",                  15,   30,  2},
    {kLargeButtonImage, "resources/img/qa_button_0030_white.png",                26,   52,  2},
    {kBackwardImage,    "resources/img/qa_button_preset_backward_0001.png",      20,   25,  1},
    {kForwardImage,     "resources/img/qa_button_preset_forward_0001.png",       20,   25,  1},
    {kLoadImage,        "resources/img/qa_button_preset_load_0001.png",          40,   25,  1},
    {kSaveImage,        "resources/img/qa_button_preset_save_0001.png",          40,   25,  1},
    {kLargeKnobImage,   "resources/img/qa_knob_0018_karmared.png",               40, 3960, 99},
    {kSmallKnobImage,   "resources/img/qa_knob_0022_karmared.png",               20, 1980, 99},
    {kHeaderImage,      "resources/img/qa_panel_header_0002.png",               500,   30,  1},
    {kPanelImage,       "resources/img/qa_panel_kestrumsynth_0001.png",         450,  360,  1},
    {kShadowImage,      "resources/img/qa_panel_rack4hu_shadow_0001.png",       500,  410,  1},
};
// clang-format on

// The image entry for a resource id, or nullptr.
const ImageFile* FindImage(int id);

enum class ControlKind
{
    Background, // attached with SetBackgroundImage
    Bitmap,
    Switch,
    Knob,
    Panel,
    Text,
    PresetMenu,
    Contact,
    FileSelector,
};

constexpr int kNoImage = 0;
constexpr int kNoParameter = -1;

struct Row
{
    ControlKind kind;
    int left;
    int top;
    // Both 0 when the rectangle is sized by the image.
    int right;
    int bottom;
    int imageId;
    int frames;
    int paramIndex;

    bool SizedByImage() const { return right == 0 && bottom == 0; }
};

// The rows, index = position in the editor's control list (0 is the background).
// clang-format off
constexpr Row kRows[] = {
    {ControlKind::Background,     0,   0,   0,   0, kBackgroundImage,  1, kNoParameter},
    {ControlKind::Bitmap,         0,   0,   0,   0, kHeaderImage,      1, kNoParameter},
    {ControlKind::Bitmap,         0,  55,   0,   0, kShadowImage,      1, kNoParameter},
    {ControlKind::Bitmap,        25,  80,   0,   0, kPanelImage,       1, kNoParameter},
    {ControlKind::Switch,       237, 210,   0,   0, kLargeButtonImage, 2, kStereoExpandOffOn},
    {ControlKind::Switch,       252, 415,   0,   0, kSmallButtonImage, 2, kVelAmpOffOn},
    {ControlKind::Knob,          95, 371,   0,   0, kLargeKnobImage,  99, kTonalAmpLevel},
    {ControlKind::Knob,          95, 119,   0,   0, kLargeKnobImage,  99, kTonalEnvAttack},
    {ControlKind::Knob,          95, 203,   0,   0, kLargeKnobImage,  99, kTonalEnvDecay},
    {ControlKind::Knob,          95, 287,   0,   0, kLargeKnobImage,  99, kTonalPitchAmt},
    {ControlKind::Knob,         230, 287,   0,   0, kLargeKnobImage,  99, kMainVolume},
    {ControlKind::Knob,         365, 371,   0,   0, kLargeKnobImage,  99, kNoiseAmpLevel},
    {ControlKind::Knob,         365, 119,   0,   0, kLargeKnobImage,  99, kNoiseEnvAttack},
    {ControlKind::Knob,         365, 203,   0,   0, kLargeKnobImage,  99, kNoiseEnvDecay},
    {ControlKind::Knob,         365, 287,   0,   0, kLargeKnobImage,  99, kNoiseFilterTone},
    {ControlKind::Knob,         240, 178,   0,   0, kSmallKnobImage,  99, kTransistorDistLoad},
    {ControlKind::Panel,         60,  40, 440,  65, kNoImage,          0, kNoParameter},
    {ControlKind::Text,          60,  43, 440,  65, kNoImage,          0, kNoParameter},
    {ControlKind::PresetMenu,    60,  40, 440,  65, kNoImage,          0, kNoParameter},
    {ControlKind::Contact,       40,  40,   0,   0, kBackwardImage,    1, kPresetBackward},
    {ControlKind::Contact,      440,  40,   0,   0, kForwardImage,     1, kPresetForward},
    {ControlKind::Bitmap,         0,  40,   0,   0, kLoadImage,        1, kNoParameter},
    {ControlKind::Bitmap,       460,  40,   0,   0, kSaveImage,        1, kNoParameter},
    {ControlKind::FileSelector,   0,  40,  40,  65, kLoadImage,        1, kPresetLoad},
    {ControlKind::FileSelector, 460,  40, 500,  65, kSaveImage,        1, kPresetSave},
};
// clang-format on

constexpr int kRowCount = static_cast<int>(sizeof(kRows) / sizeof(kRows[0]));

// Rows the instrument uses after building: the preset name and the two file selectors.
constexpr int kPresetNameRow = 17;
constexpr int kPresetMenuRow = 18;
constexpr int kPresetLoadRow = 23;
constexpr int kPresetSaveRow = 24;

struct Bounds
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The row's rectangle for an image of the given size (0 × 0 when it failed to load, which
// makes an image-sized rectangle empty).
Bounds RowBounds(const Row& row, int imageWidth, int imageHeight);

} // namespace KestrumLayout
