// Images through the module-wide cache and text through the module-wide font cache.

#include "graphics/BitmapCache.h"
#include "graphics/FontCache.h"
#include "graphics/IPanelControl.h"
#include "tests/graphics/editor/EditorTestSupport.h"

#include <gtest/gtest.h>

namespace
{
constexpr int kTinyImage = 101; // a 2 x 2 PNG compiled into this test program

TEST(EditorImages, ImagesAreDecodedOnceFailedLoadsAreRetriedAndTheBackgroundGoesFirst)
{
    EditorTestPlugin plug;
    ScriptedEditor* editor = AttachNewEditor(plug, {new IPanelControl(&plug, Rect(0, 0, 10, 10), Color())});
    BitmapCache::Instance().Clear();

    IControl* background = editor->SetBackgroundImage(kTinyImage, "resources/img/tiny.png");
    EXPECT_EQ(editor->GetControl(0), background);
    EXPECT_EQ(background->GetRect(), Rect(0, 0, 2, 2));
    EXPECT_EQ(editor->NumControls(), 2);

    const BitmapRef strip = editor->GetImage(kTinyImage, "tiny.PNG", 2);
    EXPECT_EQ(strip.bitmap, editor->GetImage(kTinyImage, "tiny.png").bitmap); // one decoded image
    EXPECT_EQ(strip.N, 2);
    EXPECT_EQ(strip.FrameHeight(), 1);

    EXPECT_EQ(editor->GetImage(999, "missing.png").bitmap, nullptr);
    EXPECT_EQ(editor->GetImage(998, "tiny.bmp").bitmap, nullptr); // only PNG names decode
    EXPECT_EQ(BitmapCache::Instance().Size(), 1);
}

TEST(EditorText, StylesDifferingInQualityShareAFontAndTextStaysInsideTheUpdate)
{
    TextStyle style("Arial", 20, Color(255, 0, 0, 0), TextStyle::kBold);
    TextStyle otherQuality = style;
    otherQuality.quality = TextStyle::kAntialiased;
    TextStyle otherSize = style;
    otherSize.size = 21;
    EditorTestPlugin plug;
    ScriptedEditor* editor = AttachNewEditor(plug, {});
    editor->SetClipRect(Rect(0, 0, kEditorWidth, kEditorHeight));
    EXPECT_TRUE(editor->DrawStyledText(style, "", Rect(0, 0, 10, 10))); // empty text: nothing to do
    if (!editor->DrawStyledText(style, "x", Rect(0, 0, 10, 10)))
        GTEST_SKIP() << "no font engine on this platform";

    editor->DrawStyledText(otherQuality, "x", Rect(0, 0, 10, 10));
    editor->DrawStyledText(otherSize, "x", Rect(0, 0, 10, 10));
    EXPECT_EQ(style.cachedFont, otherQuality.cachedFont);
    EXPECT_NE(style.cachedFont, otherSize.cachedFont);

    // Text across the edge of the update draws its visible half and nothing beyond.
    editor->SetClipRect(Rect(0, 0, kEditorWidth, kEditorHeight));
    editor->FillColorRect(Color(255, 255, 255, 255), Rect(0, 0, kEditorWidth, kEditorHeight));
    const Rect text(100, 100, 300, 130);
    editor->SetClipRect(Rect(200, 0, kEditorWidth, kEditorHeight));
    editor->DrawStyledText(style, "MMMMMMMMMMMMMMMM", text);
    int insideInk = 0;
    int outsideInk = 0;
    const std::vector<LICE_pixel> pixels = Snapshot(*editor);
    for (int y = text.top; y < text.bottom; ++y)
        for (int x = text.left; x < text.right; ++x)
            (x < 200 ? outsideInk : insideInk) += (pixels[y * kEditorWidth + x] & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_GT(insideInk, 0);
    EXPECT_EQ(outsideInk, 0);
}
} // namespace
