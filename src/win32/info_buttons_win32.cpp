// CMemDC and the two info buttons: an info picture replayed with GDI.
#include "win32/info_buttons_win32.h"

#include "win32/dpi_win32.h"

CMemDC::CMemDC(HDC target) : target_(target) {
    if (GetClipBox(target, &rect_) == ERROR || rect_.right <= rect_.left || rect_.bottom <= rect_.top) return;
    memory_ = CreateCompatibleDC(target);
    if (!memory_) return;
    bitmap_ = CreateCompatibleBitmap(target, rect_.right - rect_.left, rect_.bottom - rect_.top);
    if (!bitmap_) {
        DeleteDC(memory_);
        memory_ = nullptr;
        return;
    }
    oldBitmap_ = SelectObject(memory_, bitmap_);
    SetWindowOrgEx(memory_, rect_.left, rect_.top, nullptr);
}

CMemDC::~CMemDC() {
    if (!memory_) return;
    BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory_, rect_.left,
           rect_.top, SRCCOPY);
    SelectObject(memory_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
}

namespace {

Rect ItemRect(const DRAWITEMSTRUCT& item) {
    return {item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
}

// The picture is made first (under the shared data's lock), then drawn without it.
void Paint(const DRAWITEMSTRUCT& item, const Picture& picture, int dpi) {
    CMemDC mem(item.hDC);
    HDC dc = mem.dc();
    ScaledFont font(dc, dpi);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    for (const DrawStep& step : picture) {
        if (step.kind == DrawStep::Kind::fill) {
            // A solid fill without a brush to free: an opaque empty text.
            const RECT r{step.area.left, step.area.top, step.area.right, step.area.bottom};
            const COLORREF old = SetBkColor(dc, step.colour);
            ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
            SetBkColor(dc, old);
        } else if (!step.text.empty()) {
            TextOutA(dc, step.at.x, step.at.y, step.text.data(), static_cast<int>(step.text.size()));
        }
    }
    SetBkMode(dc, oldMode);
}

}  // namespace

void CCqWwInfoButton::DrawItem(WindowShared& shared, const WindowState& ws, const DRAWITEMSTRUCT& item) {
    const int dpi = WindowDpi(item.hwndItem);
    Paint(item, PaintMultiplierButton(shared, ws, ItemRect(item), dpi), dpi);
}

void CCqWpxRtty::DrawItem(WindowShared& shared, const WindowState& ws, const DRAWITEMSTRUCT& item) {
    const int dpi = WindowDpi(item.hwndItem);
    Paint(item, PaintPrefixButton(shared, ws, ItemRect(item), dpi), dpi);
}
