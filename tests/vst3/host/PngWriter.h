#pragma once
// Writes an opaque RGB picture as a PNG file (screenshots of the editor).

#include <cstdint>
#include <string>

// Pixels 0x00RRGGBB, rows top-down. False when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const uint32_t* pixels);
