// The contest's country lists and the point class of a QSO.
#pragma once

#include <string_view>

class CInfo;

enum class PointClass { nordicBaltic, ownCountry, ownContinent, otherContinent };

// Exact, case-sensitive whole-text comparisons with the constant lists.
bool IsNordicBaltic(std::string_view country);
bool IsRussianLanguage(std::string_view country);

// Stores the last digit of prefix in the call-area fields when country is one of
// K, VE, VK, JA, ZL, ZS, PY; other countries and digit-less prefixes change nothing.
void SetCallArea(CInfo& record, std::string_view country, std::string_view prefix);

// Nordic-Baltic first, then own country, own continent, other continent.
PointClass ClassifyQso(const CInfo& record, std::string_view myCountry, std::string_view myContinent);
