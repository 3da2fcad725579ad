// The Cabrillo header dialog (template IDD_CABRILLO) over plain Win32: the
// implementation behind Env::RunCabrilloDialog.
#pragma once

#include <windows.h>

#include "base/cabrillo_export.h"

// Runs the dialog modally, owned by the calling thread's active window (none when
// there is none). On OK the controls' texts are in `fields` and the result is true;
// on cancel, close or failure `fields` is unchanged and the result is false.
bool RunCabrilloHeaderDialog(HINSTANCE module, CabrilloHeaderFields& fields);
