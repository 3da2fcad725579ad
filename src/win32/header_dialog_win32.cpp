// Implements RunCabrilloHeaderDialog (header_dialog_win32.h): moves the header
// texts into the controls of template IDD_CABRILLO and back.
#include "win32/header_dialog_win32.h"

#include <initializer_list>
#include <string>

#include "resource.h"

namespace {

struct EditControl {
    int id;
    std::string CabrilloHeaderFields::*field;
};

struct ComboControl {
    int id;
    std::string CabrilloHeaderFields::*field;
    std::initializer_list<const char*> entries;
};

using H = CabrilloHeaderFields;

constexpr EditControl kEdits[] = {
    {IDC_CONTEST, &H::contest},
    {IDC_CALLSIGN, &H::callsign},
    {IDC_CLAIMED, &H::claimed},
    {IDC_NAME, &H::name},
    {IDC_ADDRESS, &H::address},
    {IDC_ADDRESS_CITY, &H::addressCity},
    {IDC_ADDRESS_POSTALCODE, &H::addressPostalCode},
    {IDC_ADDRESS_COUNTRY, &H::addressCountry},
    {IDC_OPERATORS, &H::operators},
    {IDC_CLUB, &H::club},
    {IDC_SOAPBOX, &H::soapbox},
    {IDC_EMAIL, &H::email},
    {IDC_ADDRESS_STATE_PROVINCE, &H::addressStateProvince},
};

const ComboControl kCombos[] = {
    {IDC_CATEGORY_OPERATOR, &H::categoryOperator, {"SINGLE-OP", "MULTI-OP", "CHECKLOG"}},
    {IDC_CATEGORY_ASSISTED, &H::categoryAssisted, {"ASSISTED", "NON-ASSISTED"}},
    {IDC_CATEGORY_BAND, &H::categoryBand, {"ALL", "80M", "40M", "20M", "15M", "10M"}},
    {IDC_CATEGORY_MODE, &H::categoryMode, {"RTTY"}},
    {IDC_CATEGORY_POWER, &H::categoryPower, {"HIGH", "LOW"}},
    {IDC_CATEGORY_TRANSMITTER, &H::categoryTransmitter, {"ONE", "TWO", "UNLIMITED"}},
    {IDC_CATEGORY_OVERLAY,
     &H::categoryOverlay,
     {"UNLIMITED", "YOTA TEAM", "PORTABLE", "ROOKIE", "WIRES-ONLY", "DISTRIBUTED ", "CLASSIC"}},
    {IDC_CATEGORY_STATION, &H::categoryStation, {"FIXED"}},
    {IDC_ARRL_SECTION,
     &H::arrlSection,
     {"DX", "-/-", "AL", "AK", "AZ", "AR", "CA", "CO", "CT", "DE", "FL", "GA", "ID", "IL", "IN", "IA",
      "KS", "KY", "LA", "ME", "MA", "MI", "MN", "MS", "MO", "MT", "NE", "NV", "NH", "NJ", "NM", "NY",
      "NC", "ND", "OH", "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT", "VT", "VA", "WA", "WV",
      "WI", "WY", "NB", "NS", "QC", "ON", "MB", "SK", "AB", "BC", "NWT", "NF", "LB", "NU", "YT", "PEI"}},
};

std::string ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int n = GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return text;
}

void Fill(HWND dialog, const CabrilloHeaderFields& fields) {
    for (const auto& e : kEdits) {
        // No typing limit: stored values of any length are shown and returned whole.
        SendDlgItemMessageA(dialog, e.id, EM_LIMITTEXT, 0, 0);
        SetDlgItemTextA(dialog, e.id, (fields.*e.field).c_str());
    }
    for (const auto& c : kCombos) {
        SendDlgItemMessageA(dialog, c.id, CB_LIMITTEXT, 0, 0);
        for (const char* entry : c.entries)
            SendDlgItemMessageA(dialog, c.id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        // The first entry that begins with the value, ignoring case; else the value as it is.
        const std::string& value = fields.*c.field;
        LRESULT at = CB_ERR;
        if (!value.empty())
            at = SendDlgItemMessageA(dialog, c.id, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(value.c_str()));
        if (at != CB_ERR)
            SendDlgItemMessageA(dialog, c.id, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
        else
            SetDlgItemTextA(dialog, c.id, value.c_str());
    }
}

// Over the middle of the owner (or of the screen), kept inside the work area: the
// dialog is tall and must not open half off a small screen.
void Center(HWND dialog) {
    RECT box{}, area{}, over{};
    GetWindowRect(dialog, &box);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (!GetMonitorInfoA(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    area = monitor.rcWork;
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &over)) over = area;
    const LONG width = box.right - box.left, height = box.bottom - box.top;
    LONG left = (over.left + over.right - width) / 2, top = (over.top + over.bottom - height) / 2;
    if (left + width > area.right) left = area.right - width;
    if (top + height > area.bottom) top = area.bottom - height;
    if (left < area.left) left = area.left;
    if (top < area.top) top = area.top;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CabrilloHeaderFields Collect(HWND dialog, const CabrilloHeaderFields& shown) {
    CabrilloHeaderFields fields = shown;
    for (const auto& e : kEdits) fields.*e.field = ControlText(dialog, e.id);
    for (const auto& c : kCombos) fields.*c.field = ControlText(dialog, c.id);
    return fields;
}

INT_PTR CALLBACK HeaderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing may unwind into the window manager: any failure closes the dialog as cancelled.
    try {
        auto* fields = reinterpret_cast<CabrilloHeaderFields*>(GetWindowLongPtrA(dialog, DWLP_USER));
        switch (message) {
            case WM_INITDIALOG:
                SetWindowLongPtrA(dialog, DWLP_USER, lParam);
                Fill(dialog, *reinterpret_cast<CabrilloHeaderFields*>(lParam));
                Center(dialog);
                return TRUE;
            case WM_COMMAND:
                if (LOWORD(wParam) == IDOK && fields) {
                    *fields = Collect(dialog, *fields);
                    EndDialog(dialog, IDOK);
                    return TRUE;
                }
                if (LOWORD(wParam) == IDCANCEL) {
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                }
                return FALSE;
            default:
                return FALSE;
        }
    } catch (...) {
        EndDialog(dialog, IDABORT);
        return TRUE;
    }
}

}  // namespace

bool RunCabrilloHeaderDialog(HINSTANCE module, CabrilloHeaderFields& fields) {
    // The host's window is disabled while the dialog is up, as with any modal dialog it owns.
    const INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_CABRILLO), GetActiveWindow(),
                                           HeaderDialogProc, reinterpret_cast<LPARAM>(&fields));
    return result == IDOK;
}
