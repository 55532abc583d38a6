#pragma once
// Ctrl-C, SIGTERM and SIGHUP during a run that writes files. The first signal only asks
// the run to stop: it finishes the file it is writing and ends, so its target folder holds
// complete files only. A second signal ends the process at once, after removing the one
// named temporary file in flight, if any (files written without a name until complete
// need nothing removed).
namespace gs {

// Installs the handlers; the signals keep their default action until then.
void InstallStopSignals();
// Gives the signals back the actions they had before InstallStopSignals (a run that turns
// out to write nothing, and that a signal should end at once).
void UninstallStopSignals();
// The signal that asked the run to stop, or 0.
int StopSignalReceived();
// A descriptor that becomes readable when a stop signal arrives (each signal writes one
// byte), for an event loop waiting on something else, such as a box; -1 before the
// handlers are installed. Never blocks when read.
int StopSignalWakeFd();
// Ends the process as the signal would have without a handler (the parent sees it).
[[noreturn]] void EndByStopSignal(int signal);

// The one named temporary file in flight, removed by a second signal. Only one file is
// tracked at a time: a second writer meanwhile is not tracked (its name stays its own).
class TTemporaryInFlight {
public:
    explicit TTemporaryInFlight(const char* path);
    ~TTemporaryInFlight();
    TTemporaryInFlight(const TTemporaryInFlight&) = delete;
    TTemporaryInFlight& operator=(const TTemporaryInFlight&) = delete;

private:
    bool tracked_ = false;
};

}  // namespace gs
