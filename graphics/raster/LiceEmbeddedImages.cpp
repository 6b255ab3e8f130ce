#include "graphics/raster/LiceEmbeddedImages.h"

namespace
{
// Reached through a function so that registration from any static initialiser
// finds the head already set up, whatever the order of initialisation.
LiceEmbeddedImageTable*& ChainHead()
{
    static LiceEmbeddedImageTable* head = nullptr;
    return head;
}
} // namespace

void LiceRegisterEmbeddedImages(LiceEmbeddedImageTable* table)
{
    if (!table)
        return;
    table->next = ChainHead();
    ChainHead() = table;
}

const LiceEmbeddedImage* LiceFindEmbeddedImage(int id)
{
    for (const LiceEmbeddedImageTable* table = ChainHead(); table; table = table->next)
        for (size_t i = 0; i < table->count; ++i)
            if (table->images[i].id == id)
                return &table->images[i];
    return nullptr;
}
