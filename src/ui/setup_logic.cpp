#include "ui/setup_logic.h"

#include <climits>
#include <cstdlib>
#include <string>

#include "contest/contest_rules.h"
#include "base/env.h"
#include "base/settings.h"
#include "ui/dpi_scale.h"
#include "ui/ui_texts.h"

namespace {

constexpr int kDefaultLeft = 10;
constexpr int kDefaultTop = 400;

struct PositionKeys {
    const char* x;
    const char* y;
};

PositionKeys KeysOf(PlacedWindow w) {
    switch (w) {
        case PlacedWindow::multiplier: return {setting::kMultiplierX, setting::kMultiplierY};
        case PlacedWindow::prefix: return {setting::kPrefixX, setting::kPrefixY};
        case PlacedWindow::setup: break;
    }
    return {setting::kSetupX, setting::kSetupY};
}

// A stored number as the C library's atoi reads it, clamped instead of overflowing.
int SettingNumber(Env& env, const char* key) {
    const std::string text = env.ReadSetting(key);
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

const char* Flag(int on) { return on ? "1" : "0"; }

const char* ShowKey(SideWindow w) { return w == SideWindow::multiplier ? setting::kShowMultiplier : setting::kShowPrefix; }

}  // namespace

Position LoadPosition(WindowState& ws, Env& env, PlacedWindow w, int dpi) {
    const PositionKeys keys = KeysOf(w);
    ws.lastLeft = SettingNumber(env, keys.x);
    ws.lastTop = SettingNumber(env, keys.y);
    if (ws.lastLeft == 0) ws.lastLeft = kDefaultLeft;
    if (ws.lastTop == 0) ws.lastTop = kDefaultTop;
    return {ScaleToDpi(ws.lastLeft, dpi), ScaleToDpi(ws.lastTop, dpi)};
}

void SavePosition(WindowState& ws, Env& env, PlacedWindow w, int left, int top, int dpi) {
    const PositionKeys keys = KeysOf(w);
    left = ScaleFromDpi(left, dpi);
    top = ScaleFromDpi(top, dpi);
    if (left != ws.lastLeft) {
        ws.lastLeft = left;
        env.WriteSetting(keys.x, std::to_string(left));
    }
    if (top != ws.lastTop) {
        ws.lastTop = top;
        env.WriteSetting(keys.y, std::to_string(top));
    }
}

void LoadSetupFlags(WindowState& ws, Env& env) {
    ws.windowsOnTop = SettingNumber(env, setting::kWindowsOnTop) != 0;
    ws.showMultiplier = SettingNumber(env, setting::kShowMultiplier) != 0;
    ws.showPrefix = SettingNumber(env, setting::kShowPrefix) != 0;
    ws.bandNames.clear();
    for (int i = 0; i < kBandCount; ++i) ws.bandNames.push_back(g_bands[i]);
}

void ToggleOnTop(WindowState& ws, Env& env, WindowSurface& surface) {
    ws.windowsOnTop = !ws.windowsOnTop;
    env.WriteSetting(setting::kWindowsOnTop, Flag(ws.windowsOnTop));
    for (SideWindow w : {SideWindow::multiplier, SideWindow::prefix})
        if (surface.IsOpen(w)) surface.Close(w);
    surface.PostUpdate();
}

void ToggleSideWindow(WindowState& ws, Env& env, WindowSurface& surface, SideWindow w, bool russian) {
    int& show = w == SideWindow::multiplier ? ws.showMultiplier : ws.showPrefix;
    if (surface.IsOpen(w)) {
        surface.Close(w);
        show = 0;
        env.WriteSetting(ShowKey(w), "0");
        return;
    }
    surface.Open(w);
    show = 1;
    surface.PostUpdate();
    env.WriteSetting(ShowKey(w), "1");
    const UiTexts& t = Texts(russian);
    surface.SetCaption(w, {std::string(w == SideWindow::multiplier ? t.multOpened : t.workingPrefix), {}, {}});
}
