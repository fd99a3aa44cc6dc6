#pragma once
// Names of the fatal signals, for the trace file (written inside the signal
// handler, so these only read constant tables) and the crash log.

namespace tarnwick::crash {

// "SIGSEGV" and so on; nullptr for a signal this table does not know.
const char* SignalName(int signal);

// The symbolic name of the signal's code (`siginfo_t::si_code`), such as
// "SEGV_MAPERR", "FPE_INTDIV" or "SI_USER"; nullptr when it has none.
const char* SignalCodeName(int signal, int code);

}  // namespace tarnwick::crash
