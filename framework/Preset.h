#pragma once
// One preset slot of the plug-in: a name and, once initialised, a state chunk made by
// SaveState. A fresh slot is not initialised and is named "empty".

#include "framework/ChunkBuffer.h"
#include "framework/TextCopy.h"

struct Preset
{
    static constexpr int kNameBytes = 256; // at most 255 characters and the terminator

    Preset() { SetName("empty"); }
    void SetName(const char* text) { CopyText(name, sizeof name, text); }

    bool initialized = false;
    char name[kNameBytes] = {};
    ChunkBuffer state;
};
