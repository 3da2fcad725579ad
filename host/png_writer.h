// A minimal PNG writer for test artifacts: 8-bit RGB, uncompressed deflate blocks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `rgb` holds height rows of width pixels, top row first, three bytes a pixel.
// Returns false when the file cannot be written or the sizes do not match.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
