#include "graphics/raster/LiceEmbeddedFonts.h"

// The build names the two font files (KESTRUM_SANS_REGULAR, KESTRUM_SANS_BOLD); the assembler
// includes their bytes as they are. The symbols stay inside the module.
#define KESTRUM_EMBED_FONT(symbol, path)                                                                     \
    asm(".pushsection .rodata\n"                                                                             \
        ".balign 16\n"                                                                                       \
        ".globl " #symbol "_begin\n"                                                                         \
        ".globl " #symbol "_end\n"                                                                           \
        ".hidden " #symbol "_begin\n"                                                                        \
        ".hidden " #symbol "_end\n" #symbol "_begin:\n"                                                      \
        ".incbin \"" path "\"\n" #symbol "_end:\n"                                                           \
        ".popsection\n")

KESTRUM_EMBED_FONT(kestrum_sans_regular, KESTRUM_SANS_REGULAR);
KESTRUM_EMBED_FONT(kestrum_sans_bold, KESTRUM_SANS_BOLD);

extern "C" __attribute__((visibility("hidden"))) const unsigned char kestrum_sans_regular_begin[];
extern "C" __attribute__((visibility("hidden"))) const unsigned char kestrum_sans_regular_end[];
extern "C" __attribute__((visibility("hidden"))) const unsigned char kestrum_sans_bold_begin[];
extern "C" __attribute__((visibility("hidden"))) const unsigned char kestrum_sans_bold_end[];

LiceEmbeddedFont LiceSansFont(bool bold)
{
    if (bold)
        return {kestrum_sans_bold_begin,
                static_cast<size_t>(kestrum_sans_bold_end - kestrum_sans_bold_begin)};
    return {kestrum_sans_regular_begin,
            static_cast<size_t>(kestrum_sans_regular_end - kestrum_sans_regular_begin)};
}
