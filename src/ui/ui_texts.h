// The operator windows' texts in English and Russian (UTF-8).
#pragma once

#include <string>
#include <string_view>

#include "base/window_surface.h"

struct UiTexts {
    std::string_view setupCaption;  // followed by the contest year
    std::string_view toDisplay;     // static text 1025
    std::string_view multiplier;    // check box 1014
    std::string_view windowOnTop;   // check box 1016
    std::string_view workingPrefix; // check box 1015, and the worked-prefix window
    std::string_view multOpened;    // multiplier window opened by its check box
    std::string_view workingMult;   // multiplier window opened by an update
    std::string_view previousQso;   // followed by the call and a blank
    std::string_view multWorked;    // "... %i on %s"
    std::string_view prefixWorked;
    std::string_view on;
};

const UiTexts& Texts(bool russian);

Caption SetupCaption(bool russian, std::string_view year);
Caption PreviousQsoCaption(bool russian, std::string_view call);
// "Mult worked 12 on 20m" / "Worked Prefix 3 on 20m" and their Russian forms.
Caption BandCaption(bool russian, SideWindow w, std::size_t count, std::string_view band);
