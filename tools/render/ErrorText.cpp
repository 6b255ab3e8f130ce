#include "tools/render/ErrorText.h"

#include <cstdio>

std::string EscapedExcerpt(const std::string& text, size_t maxBytes)
{
    std::string escaped;
    const size_t shown = text.size() < maxBytes ? text.size() : maxBytes;
    for (size_t i = 0; i < shown; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\')
        {
            escaped += '\\';
            escaped += static_cast<char>(c);
        }
        else if (c >= 0x20 && c < 0x7F)
        {
            escaped += static_cast<char>(c);
        }
        else
        {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            escaped += hex;
        }
    }
    if (shown < text.size())
        escaped += "...";
    return escaped;
}

std::string QuotedExcerpt(const std::string& text, size_t maxBytes)
{
    return "\"" + EscapedExcerpt(text, maxBytes) + "\"";
}
