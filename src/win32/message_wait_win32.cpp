#include "win32/message_wait_win32.h"

int WaitServingSentMessages(const HANDLE* handles, DWORD count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return -1;
        const DWORD r = MsgWaitForMultipleObjects(count, handles, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        if (r < WAIT_OBJECT_0 + count) return static_cast<int>(r - WAIT_OBJECT_0);
        if (r != WAIT_OBJECT_0 + count) return -1;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // delivers sent messages
    }
}
