#include "ui/call_history.h"

std::string LookupCallHistory(const TextList& callHistory, std::string_view call) {
    for (const std::string& line : callHistory) {
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos || blank == 0) return {};
        if (std::string_view(line).substr(0, blank) == call)
            return line.size() <= 4 ? line : line.substr(line.size() - 4);
    }
    return {};
}
