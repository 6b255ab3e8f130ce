#pragma once
// The font files compiled into builds that draw text with FreeType: Liberation Sans in its
// regular and bold cuts, read from the system's font package at build time, so that every
// machine draws the editor's text with the same pixels.

#include <cstddef>

struct LiceEmbeddedFont
{
    const unsigned char* bytes;
    size_t size;
};

// [any thread] The bold or the regular cut.
LiceEmbeddedFont LiceSansFont(bool bold);
