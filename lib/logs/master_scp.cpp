#include "logs/master_scp.h"

#include "logs/text.h"

std::unordered_set<std::string> ReadMasterScp(std::string_view text) {
    std::unordered_set<std::string> calls;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string call = ToUpper(Trim(text.substr(at, end - at)));
        if (!call.empty() && call[0] != '#') calls.insert(call);
        at = end + 1;
    }
    return calls;
}

bool KnownToScp(const std::unordered_set<std::string>& scp, const std::string& call) {
    if (scp.count(call)) return true;
    for (std::size_t from = 0; from <= call.size();) {
        std::size_t slash = call.find('/', from);
        if (slash == std::string::npos) slash = call.size();
        if (slash - from >= 3 && slash - from < call.size() && scp.count(call.substr(from, slash - from))) return true;
        from = slash + 1;
    }
    return false;
}
