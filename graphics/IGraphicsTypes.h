#pragma once
// The editor's plain value types: rectangles, colours, blend choices, text styles,
// references to images and the state of the mouse buttons and modifier keys. They are
// copied freely; none of them owns what it points at.

#include "graphics/raster/LiceBlit.h"
#include "graphics/raster/LiceTypes.h"

#include <cstdint>
#include <cstring>

class LICE_IBitmap;
class LICE_CachedFont;

// Left, top, right, bottom in pixels; right and bottom are exclusive. All four 0 is empty.
struct Rect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    Rect() = default;
    Rect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

    bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    // The smallest rectangle holding both; an empty rectangle on either side yields the other.
    Rect Union(const Rect& other) const;
    // The common area; empty when either is empty or they do not overlap.
    Rect Intersect(const Rect& other) const;
    // The redraw overlap test: this.left < b.right, b.left <= this.right, this.top < b.bottom,
    // b.top <= this.bottom. It counts a control that only touches the right or bottom edge.
    bool Overlaps(const Rect& b) const
    {
        return left < b.right && b.left <= right && top < b.bottom && b.top <= bottom;
    }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

// Alpha, red, green, blue, each 0-255.
struct Color
{
    int32_t A = 255;
    int32_t R = 0;
    int32_t G = 0;
    int32_t B = 0;

    Color() = default;
    Color(int32_t a, int32_t r, int32_t g, int32_t b) : A(a), R(r), G(g), B(b) {}

    LICE_pixel ToPixel() const
    {
        return (static_cast<LICE_pixel>(A & 0xFF) << 24) | (static_cast<LICE_pixel>(R & 0xFF) << 16) |
               (static_cast<LICE_pixel>(G & 0xFF) << 8) | static_cast<LICE_pixel>(B & 0xFF);
    }
};

// How a control's pixels are combined with what lies under them.
struct BlendSpec
{
    static constexpr int32_t kAlpha = 0; // copy weighted by the source alpha (also any unknown method)
    static constexpr int32_t kCopy = 1;  // plain copy
    static constexpr int32_t kAdd = 2;   // add, weighted by the source alpha
    static constexpr int32_t kDodge = 3; // colour dodge, weighted by the source alpha

    int32_t method = kAlpha;
    float weight = 1.0f;

    BlendSpec() = default;
    BlendSpec(int32_t m, float w = 1.0f) : method(m), weight(w) {}

    // The raster layer's mode word for this method.
    int RasterMode() const
    {
        switch (method)
        {
            case kCopy: return BlendCopy;
            case kAdd: return BlendAdd | BlendUseSourceAlpha;
            case kDodge: return BlendDodge | BlendUseSourceAlpha;
            default: return BlendCopy | BlendUseSourceAlpha;
        }
    }
};

struct TextStyle
{
    static constexpr int kFaceBytes = 32;
    enum Style : int32_t
    {
        kNormal = 0,
        kBold = 1,
        kItalic = 2
    };
    enum Align : int32_t
    {
        kLeft = 0,
        kCentre = 1,
        kRight = 2
    };
    enum Quality : int32_t
    {
        kDefaultQuality = 0,
        kNonAntialiased = 1,
        kAntialiased = 2,
        kClearType = 3
    };

    char face[kFaceBytes] = "Verdana";
    int32_t size = 12;
    Color color = Color(255, 0, 0, 0);
    Color entryBackground = Color(255, 255, 255, 255);
    Color entryText = Color(255, 0, 0, 0);
    int32_t style = kNormal;
    int32_t align = kCentre;
    int32_t orientation = 0; // degrees
    int32_t quality = kDefaultQuality;
    // The font found for this style on first use; owned by the module's font cache.
    LICE_CachedFont* cachedFont = nullptr;
    // The font for the style enlarged to an editor scale (in percent), found on first use at
    // that scale; also owned by the font cache.
    LICE_CachedFont* scaledFont = nullptr;
    int32_t scaledPercent = 0;

    TextStyle() = default;
    TextStyle(const char* fontFace, int32_t sizePixels, const Color& textColor, int32_t fontStyle = kNormal,
              int32_t alignment = kCentre, int32_t orientationDegrees = 0,
              int32_t fontQuality = kDefaultQuality,
              const Color& entryBackgroundColor = Color(255, 255, 255, 255),
              const Color& entryTextColor = Color(255, 0, 0, 0))
        : size(sizePixels),
          color(textColor),
          entryBackground(entryBackgroundColor),
          entryText(entryTextColor),
          style(fontStyle),
          align(alignment),
          orientation(orientationDegrees),
          quality(fontQuality)
    {
        SetFace(fontFace);
    }

    void SetFace(const char* fontFace)
    {
        std::memset(face, 0, sizeof(face));
        if (fontFace)
            std::strncpy(face, fontFace, kFaceBytes - 1);
    }
};

// An image (owned by the module's bitmap cache, or by whoever made it) seen as a strip of
// equally sized frames, side by side (horizontal) or stacked. W and H are the 1x image's, in
// logical pixels; an editor drawn at another scale finds the image rendered for that scale
// by the resource id (0 for an image made in code, which is then drawn as it is).
struct BitmapRef
{
    LICE_IBitmap* bitmap = nullptr;
    int32_t W = 0;
    int32_t H = 0;
    int32_t N = 1;
    bool framesAreHorizontal = false;
    int32_t resourceId = 0;

    BitmapRef() = default;
    BitmapRef(LICE_IBitmap* image, int32_t width, int32_t height, int32_t frames = 1, bool horizontal = false)
        : bitmap(image),
          W(width),
          H(height),
          N(frames),
          framesAreHorizontal(horizontal)
    {
    }

    // The size of one frame: the image cut into N along the frame direction.
    int32_t FrameWidth() const { return framesAreHorizontal && N > 1 ? W / N : W; }
    int32_t FrameHeight() const { return !framesAreHorizontal && N > 1 ? H / N : H; }
};

struct MouseModifiers
{
    bool L = false; // left button
    bool R = false; // right button
    bool S = false; // shift
    bool C = false; // control
    bool A = false; // alt

    MouseModifiers() = default;
    MouseModifiers(bool left, bool right = false, bool shift = false, bool control = false, bool alt = false)
        : L(left),
          R(right),
          S(shift),
          C(control),
          A(alt)
    {
    }
};

// The editor's key codes (the window layer maps the platform's keys to them).
enum EditorKey : int
{
    kKeySpace = 0,
    kKeyUp = 1,
    kKeyDown = 2,
    kKeyLeft = 3,
    kKeyRight = 4,
    kKeyDigit0 = 5,   // '0' to '9' are 5 to 14
    kKeyLetterA = 15, // 'A' to 'Z' are 15 to 40
};

// An opaque platform window (a window handle on Windows); none is nullptr.
using EditorWindowHandle = void*;
