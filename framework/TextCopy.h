#pragma once
// Copies into the fixed, terminated text fields of the framework (names, labels, preset
// names): at most capacity - 1 characters, always terminated, none for a null source.

#include <cstddef>

inline void CopyText(char* destination, size_t capacity, const char* source)
{
    if (capacity == 0)
        return;
    size_t i = 0;
    if (source)
        for (; i + 1 < capacity && source[i] != '\0'; ++i)
            destination[i] = source[i];
    destination[i] = '\0';
}
