// Setup: the window thread's modal dialog (template 104) with the three check
// boxes. It receives the update requests and implements WindowSurface for them.
#include "win32/setup_dialog_win32.h"

#include <windows.h>

#include <string>
#include <utility>

#include "resource.h"
#include "ui/info_pictures.h"
#include "ui/setup_logic.h"
#include "ui/ui_texts.h"
#include "ui/update.h"
#include "base/window_surface.h"
#include "win32/dialog_proc_win32.h"
#include "win32/side_window_win32.h"
#include "win32/wide_text_win32.h"

namespace {

constexpr UINT_PTR kReadyTimer = 1;

class Setup final : public WindowSurface {
public:
    Setup(HWND window, WindowContext& ctx) : window_(window), ctx_(ctx), dpi_(window, ctx.dpiAwareness) {
        ctx.setupWindow = window;
    }
    Setup(const Setup&) = delete;
    Setup& operator=(const Setup&) = delete;
    ~Setup() override {
        if (brush_) DeleteObject(brush_);
    }

    void Initialise();
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Destroyed() {}

    bool IsOpen(SideWindow w) override { return Slot(w) != nullptr; }
    void Open(SideWindow w) override {
        Slot(w) = w == SideWindow::multiplier ? OpenMultiplierWindow(ctx_) : OpenPrevQsoWindow(ctx_);
    }
    void Close(SideWindow w) override {
        if (HWND h = Slot(w)) SendMessageW(h, WM_CLOSE, 0, 0);
        Slot(w) = nullptr;
    }
    void SetCaption(SideWindow w, const Caption& caption) override {
        if (HWND h = Slot(w)) SetText(h, WideCaption(caption));
    }
    void Repaint(SideWindow w) override {
        if (HWND h = Slot(w)) InvalidateRect(GetDlgItem(h, IDC_INFO_BUTTON), nullptr, FALSE);
    }
    void PostUpdate() override { PostMessageW(window_, WM_UPDATE_WINDOWS, 0, 0); }

private:
    HWND& Slot(SideWindow w) { return w == SideWindow::multiplier ? ctx_.multiplierWindow : ctx_.prefixWindow; }
    void ShowFlags();
    void SetControlTexts(bool russian);
    void SendStartCommands();

    HWND window_;
    WindowContext& ctx_;
    HBRUSH brush_ = nullptr;
    DialogDpi dpi_;
};

void Setup::ShowFlags() {
    const WindowState& ws = ctx_.windows;
    CheckDlgButton(window_, IDC_WINDOW_ON_TOP, ws.windowsOnTop ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window_, IDC_SHOW_MULTIPLIER, ws.showMultiplier ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window_, IDC_SHOW_PREFIX, ws.showPrefix ? BST_CHECKED : BST_UNCHECKED);
}

void Setup::SetControlTexts(bool russian) {
    std::string year;
    {
        MutexLock lock(ctx_.shared.lock);
        year = ctx_.shared.startYear;
    }
    SetText(window_, WideCaption(SetupCaption(russian, year)));
    if (!russian) return;  // the template holds the English texts
    const UiTexts& t = Texts(true);
    SetDlgItemTextW(window_, IDC_TO_DISPLAY, WideFrom(t.toDisplay, CP_UTF8).c_str());
    SetDlgItemTextW(window_, IDC_SHOW_MULTIPLIER, WideFrom(t.multiplier, CP_UTF8).c_str());
    SetDlgItemTextW(window_, IDC_WINDOW_ON_TOP, WideFrom(t.windowOnTop, CP_UTF8).c_str());
    SetDlgItemTextW(window_, IDC_SHOW_PREFIX, WideFrom(t.workingPrefix, CP_UTF8).c_str());
}

void Setup::SendStartCommands() {
    // The host must be in RTTY at 45.45 baud for this contest; a refusal of one
    // command does not keep the other from being tried.
    for (const char* command : {"<MODE:RTTY>", "<BAUDRATE:45.45>"}) {
        try {
            ctx_.host.RunCommand(command);
        } catch (const HostError&) {
        }
    }
}

void Setup::Initialise() {
    // The module may be stopping before the window even appeared.
    if (!PublishSetupWindow(window_, ctx_.stopping)) {
        EndDialog(window_, 0);
        return;
    }
    const Position p = LoadPosition(ctx_.windows, ctx_.env, PlacedWindow::setup, SystemDpi());
    LoadSetupFlags(ctx_.windows, ctx_.env);
    ShowFlags();
    SetWindowPos(window_, nullptr, p.left, p.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    MakeTopMost(window_);  // the setup window stays on top whatever the setting
    brush_ = CreateSolidBrush(kListBackground);
    SetBigIcon(window_, ctx_.instance);
    SetControlTexts(ctx_.Russian());
    ctx_.host.Connect();
    SendStartCommands();
    ctx_.host.EndCalls();
    PostUpdate();
    DisableCloseItem(window_);
    // A timer message comes only once the queue is empty and every window is
    // painted: the window first shows then, after the first update.
    SetTimer(window_, kReadyTimer, USER_TIMER_MINIMUM, nullptr);
}

INT_PTR Setup::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return PaleYellowColours(reinterpret_cast<HDC>(wParam), brush_);
        case WM_SETCURSOR:
            SavePositionOf(window_, ctx_, PlacedWindow::setup);
            return FALSE;
        case WM_DPICHANGED:
            return FollowDpiChange(window_, dpi_, wParam, lParam);
        case WM_TIMER:
            if (wParam != kReadyTimer) return FALSE;
            KillTimer(window_, kReadyTimer);
            if (ctx_.ready) SetEvent(std::exchange(ctx_.ready, nullptr));
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return TRUE;
            switch (LOWORD(wParam)) {
                case IDC_WINDOW_ON_TOP: ToggleOnTop(ctx_.windows, ctx_.env, *this); break;
                case IDC_SHOW_MULTIPLIER:
                    ToggleSideWindow(ctx_.windows, ctx_.env, *this, SideWindow::multiplier, ctx_.Russian());
                    break;
                case IDC_SHOW_PREFIX:
                    ToggleSideWindow(ctx_.windows, ctx_.env, *this, SideWindow::prefix, ctx_.Russian());
                    break;
                default: return TRUE;  // Enter and Esc must not end the window thread
            }
            ShowFlags();
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
            return TRUE;
        case WM_CLOSE:
            // Only the module closes the setup window, and its side windows with it.
            Close(SideWindow::prefix);
            Close(SideWindow::multiplier);
            EndDialog(window_, 0);
            return TRUE;
        case WM_UPDATE_WINDOWS: {
            HostCalls calls(ctx_.host);
            RunUpdate(ctx_.shared, ctx_.windows, ctx_.host, *this, ctx_.env);
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        default:
            (void)lParam;
            return FALSE;
    }
}

}  // namespace

void RunSetupDialog(WindowContext& ctx) {
    DialogBoxParamW(ctx.instance, MAKEINTRESOURCEW(IDD_SETUP), nullptr, DialogProc<Setup>,
                    reinterpret_cast<LPARAM>(&ctx));
    ctx.setupWindow = nullptr;
}
