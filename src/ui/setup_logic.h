// The setup window's settings and check boxes, and the position memory that it
// shares with the side windows.
#pragma once

#include "ui/window_state.h"
#include "base/window_surface.h"

class Env;

enum class PlacedWindow { setup, multiplier, prefix };

struct Position {
    int left = 0;
    int top = 0;
};

// Positions are stored in 96-DPI pixels, the ones a DPI-unaware host and the
// versions before saw, so that a window comes back at the same place of the
// desktop when the scaling changes, and a file stays readable both ways. `dpi`
// is the system DPI, to which the desktop's coordinates are scaled.

// Reads the window's stored position into the shared pair and returns it in
// screen pixels. A missing or zero coordinate counts as not stored: left 10,
// top 400.
Position LoadPosition(WindowState& ws, Env& env, PlacedWindow w, int dpi);

// Called whenever the mouse moves over a window, with its position in screen
// pixels: writes each coordinate that differs from the last one any of the three
// windows stored.
void SavePosition(WindowState& ws, Env& env, PlacedWindow w, int left, int top, int dpi);

// The check boxes' settings, and the band names, as the setup window starts.
void LoadSetupFlags(WindowState& ws, Env& env);

// "Window on top": the side windows are closed here and reopened by the update
// this posts, so they start in the new state.
void ToggleOnTop(WindowState& ws, Env& env, WindowSurface& surface);

// "Multiplier" / "Working Prefix": follows whether the window is open, not the
// check box, so the two cannot disagree for long.
void ToggleSideWindow(WindowState& ws, Env& env, WindowSurface& surface, SideWindow w, bool russian);
