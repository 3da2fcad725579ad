// QSO intake (AddData0) and removal (RemoveData0).
#pragma once

#include "base/files.h"
#include "contest/contest_state.h"
#include "contest/qso_args.h"

// Judges the QSO, stores it (accepted or dupe) and writes its bad-QSO line
// (BadQsoLine) for every verdict but accepted.
IntakeVerdict AddData(ContestState& state, Files& files, const QsoArgs& qso);

// Takes the first matching QSO out of the log and its lines out of the bad-QSO
// file. Returns 1.
int RemoveData(ContestState& state, Files& files, const QsoArgs& qso);
