// Stats.dll and its engine.
//
// The host's FreeLibrary runs the module's exit step under the loader lock and
// unmaps the module when it returns. A window thread that needs that lock (a
// system call on it that loads a library, say) cannot finish meanwhile, so no
// wait there can be sure to see it end. So the module the host loads, the shell,
// loads a byte-identical copy of itself, the engine, from `kEngineFile` beside it,
// and every export goes on to the engine. The engine's window thread holds the
// engine loaded until it has left its code. The shell's exit step asks the
// engine to stop and waits a while; when the thread does not finish in time, the
// shell is unmapped and the engine stays until the thread has left it.
//
// Without that file, or with one of another build, the module answers alone:
// shell and engine in one, as before the split.
#pragma once

#include "dll/export_layout.h"

// Beside Stats.dll, in a folder of its own: a host that loads every DLL of its
// Plugins folder does not take the engine for a second plug-in.
inline constexpr wchar_t kEngineFile[] = L"VERDA-WW-DX\\StatsEngine.dll";

// The exports every call goes to: the engine's, or this module's own. Found at
// the first call.
const export_layout::ExportTable& Exports();

// The unload's exit step, by the way this module works.
void DetachModule();
