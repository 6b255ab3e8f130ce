#include "engine/CosineTable.h"

#include <cmath>
#include <cstdio>

void CosineTable::build()
{
    if (!buffer_.allocate(kSizeEntries))
    {
        std::fputs("out of memory\n", stderr);
        // One attempt at the small size; retrying for ever would hang the host.
        if (!buffer_.allocate(512))
            std::fputs("out of memory\n", stderr);
    }
    double* table = buffer_.samples();
    const int32_t count = buffer_.frameCount();
    for (int32_t j = 0; j < count; ++j)
        table[j] = std::cos(static_cast<double>(j) * 3.141592653589793 * 2.0 / 16384.0);
}
