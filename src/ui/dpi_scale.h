// The operator windows are laid out in pixels at 96 DPI, the scaling of the
// screens they were made for; at any other DPI every length is scaled by dpi/96,
// rounded as the system's MulDiv rounds, so that 96 DPI keeps every pixel.
#pragma once

inline constexpr int kBaseDpi = 96;

// value * numerator / denominator, rounded half away from zero; the value itself
// when the denominator is not positive.
int ScaleBetween(int value, int numerator, int denominator);

// A length of the 96-DPI layout at `dpi`, and back.
inline int ScaleToDpi(int value, int dpi) { return ScaleBetween(value, dpi, kBaseDpi); }
inline int ScaleFromDpi(int value, int dpi) { return ScaleBetween(value, kBaseDpi, dpi); }
