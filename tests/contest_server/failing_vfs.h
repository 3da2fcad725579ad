// An SQLite VFS over the system's own that fails one write on cue, as SQLite's
// own tests do: a store opened on it meets an I/O error at every point a write
// can come, not only where the operating system can be made to fail.
#pragma once

// The VFS's name, for SqliteStore's `vfs`. Registered on first use.
const char* FailingVfs();

// From now on, the `n`th write, sync or truncate (1: the next) fails with
// SQLITE_IOERR; the others go through. 0: none fails.
void FailNthWrite(int n);
// How many writes, syncs and truncates went through the VFS so far.
int WritesSeen();
