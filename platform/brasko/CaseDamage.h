#pragma once
// Why a case being read was refused as damaged: the record and the value, noted by the check
// that refused them, so that whoever opened the case can name them rather than say only that the
// file is damaged. A record's reader gives back no more than false; the note goes beside it.
//
// The note is the calling thread's. Opening a case for reading clears it; the first note after
// holds (the check deepest in the records refuses first, and the records around it only fail).
#include <string>

void ClearCaseDamage();
// Notes `what` unless a note is held already. False, so that a check can refuse with
// `return NoteCaseDamage(...)`.
bool NoteCaseDamage(const std::string& what);
// The note held; empty when no check has named the damage.
const std::string& CaseDamage();
// A value as a note gives it ("-0.5", "1e+300").
std::string CaseDamageValue(double value);
