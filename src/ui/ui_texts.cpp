#include "ui/ui_texts.h"

namespace {

constexpr UiTexts kEnglish{
    "Setup VERDA-WW-DX- ", "To display", "Multiplier", "Window on top", "Working Prefix", " Mult",
    "Working mult",        "Previous QSO with ", "Mult worked ", "Worked Prefix ", " on ",
};

// The "c" of "QSO c" is the Latin letter, as the operators know it.
constexpr UiTexts kRussian{
    "Настройки VERDA-WW-DX- ", "Отображать",          "Мульт",
    "Поверх окон",             "Отработанные префиксы", " Мульт",
    "Отработанные мульты",     "Предыдущие QSO c ",   "Отработанных мультов ",
    "Отработанных префиксов ", " на ",
};

}  // namespace

const UiTexts& Texts(bool russian) { return russian ? kRussian : kEnglish; }

Caption SetupCaption(bool russian, std::string_view year) {
    return {std::string(Texts(russian).setupCaption) + std::string(year), {}, {}};
}

Caption PreviousQsoCaption(bool russian, std::string_view call) {
    return {std::string(Texts(russian).previousQso), std::string(call), " "};
}

Caption BandCaption(bool russian, SideWindow w, std::size_t count, std::string_view band) {
    const UiTexts& t = Texts(russian);
    std::string text(w == SideWindow::multiplier ? t.multWorked : t.prefixWorked);
    text += std::to_string(count);
    text += t.on;
    text += band;
    return {std::move(text), {}, {}};
}
