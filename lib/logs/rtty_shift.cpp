#include "logs/rtty_shift.h"

#include "logs/text.h"

namespace {
constexpr std::string_view kLettersRow = "QWERTYUIOP";
constexpr std::string_view kFiguresRow = "1234567890";
}  // namespace

char ShiftTwin(char c) {
    if (const auto at = kLettersRow.find(c); at != std::string_view::npos) return kFiguresRow[at];
    if (const auto at = kFiguresRow.find(c); at != std::string_view::npos) return kLettersRow[at];
    return 0;
}

std::string FiguresReading(std::string_view exchange) {
    std::string figures;
    for (char c : ToUpper(exchange)) {
        const auto at = kLettersRow.find(c);
        if (at != std::string_view::npos) figures += kFiguresRow[at];
        else if (c >= '0' && c <= '9') figures += c;
        else return "";
    }
    return IsDigits(figures, 4) ? figures : "";
}

bool IsShiftMisprint(std::string_view printed, std::string_view meant) {
    if (printed.size() != meant.size() || printed == meant) return false;
    for (std::size_t i = 0; i < printed.size(); ++i)
        if (printed[i] != meant[i] && ShiftTwin(meant[i]) != printed[i]) return false;
    return true;
}
