#pragma once
// Images compiled into a program that has no resource section of its own.
//
// On Windows the editor's PNG images are resources of type "PNG" in the module.
// Elsewhere the build (kestrum_add_png_resources) generates a source file holding
// the bytes of each image and a table of them; a static object in that file hands
// the table to LiceRegisterEmbeddedImages when the module is loaded. The raster
// library therefore knows nothing about which module embeds which images: it
// only keeps the tables that were handed to it. Each plug-in module links its own
// copy of this library, so each sees exactly its own images.

#include <cstddef>

struct LiceEmbeddedImage
{
    int id;
    const unsigned char* bytes;
    size_t size;
};

// One registered table; lives in the generated source, chained without allocating.
struct LiceEmbeddedImageTable
{
    const LiceEmbeddedImage* images;
    size_t count;
    LiceEmbeddedImageTable* next;
};

// [module load, static initialisation] Adds a table; later tables win on equal ids.
void LiceRegisterEmbeddedImages(LiceEmbeddedImageTable* table);
// [any thread once loading is over] The image with this id, or none.
const LiceEmbeddedImage* LiceFindEmbeddedImage(int id);
