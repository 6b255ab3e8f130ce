#include "graphics/raster/LiceUtf8.h"

namespace
{

bool IsContinuation(const unsigned char* bytes, int index, int remaining)
{
    return index < remaining && (bytes[index] & 0xC0) == 0x80;
}

// Bytes of the multi-byte sequence starting here, or 0 when there is none.
int MultiByteLength(const unsigned char* bytes, int remaining)
{
    const unsigned char lead = bytes[0];
    int length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    for (int i = 1; i < length; ++i)
        if (!IsContinuation(bytes, i, remaining))
            return 0;
    return length;
}

} // namespace

int LiceDecodeUtf8Char(const char* text, int remaining, int& code)
{
    code = 0;
    if (!text || remaining <= 0 || text[0] == 0)
        return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    switch (MultiByteLength(bytes, remaining))
    {
        case 2: code = ((bytes[0] & 0x1F) << 6) | (bytes[1] & 0x3F); return 2;
        case 3: code = ((bytes[0] & 0x0F) << 12) | ((bytes[1] & 0x3F) << 6) | (bytes[2] & 0x3F); return 3;
        case 4: code = ' '; return 4; // no 16-bit code: keep the spacing, draw nothing
        default: code = bytes[0]; return 1;
    }
}

bool LiceHasUtf8MultiByte(const char* text, int length)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; i < length && bytes[i]; ++i)
        if (bytes[i] >= 0xC2 && MultiByteLength(bytes + i, length - i) > 0)
            return true;
    return false;
}

int LiceTextLength(const char* text, int length)
{
    if (!text)
        return 0;
    int n = 0;
    while ((length < 0 || n < length) && text[n])
        ++n;
    return n;
}
