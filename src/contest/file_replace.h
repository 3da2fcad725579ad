// Replacing a file without losing it: the new text goes to a file beside it
// first, and only a complete copy takes the old one's place.
#pragma once

#include <string>
#include <string_view>

// Writes `bytes` as the whole new content of `path`. On any failure the old file
// (if there was one) is left as it was and false is returned.
bool ReplaceFileContent(const std::string& path, std::string_view bytes);
