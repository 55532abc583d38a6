#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/StopSignals.h"
#include "support/TempDir.h"

using namespace gs;
namespace fs = std::filesystem;

// A child process with a named temporary in flight: the first SIGTERM only asks it to stop
// (it reports and waits on), the second removes the temporary and ends it by SIGTERM.
TEST(StopSignals, TheFirstSignalAsksTheSecondEndsAndRemovesTheTemporary) {
    gstest::TempDir d;
    const fs::path temporary = d.path / ".gs0123456789abcdef.tmp";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstallStopSignals();
        std::ofstream(temporary) << "partial";
        TTemporaryInFlight inFlight(temporary.c_str());
        char c = 'r';
        (void)!::write(ready[1], &c, 1);
        while (StopSignalReceived() == 0) ::usleep(1000);
        c = char(StopSignalReceived());
        (void)!::write(ready[1], &c, 1);
        for (;;) ::pause();
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::kill(child, SIGTERM);
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    EXPECT_EQ(c, char(SIGTERM));
    EXPECT_TRUE(fs::exists(temporary));  // the first signal lets the file be finished
    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_FALSE(fs::exists(temporary));
    ::close(ready[0]);
    ::close(ready[1]);
}

// The wake-up descriptor becomes readable with the first signal, so an event loop waiting on
// a box sees it; once the handlers are given back, a signal ends the process at once.
TEST(StopSignals, TheFirstSignalWakesAWaiterAndUninstalledSignalsEndAtOnce) {
    for (const bool uninstall : {false, true}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            InstallStopSignals();
            if (uninstall) UninstallStopSignals();
            ::raise(SIGHUP);
            pollfd wake{StopSignalWakeFd(), POLLIN, 0};
            char c = 0;
            const bool woken = ::poll(&wake, 1, -1) == 1 && ::read(wake.fd, &c, 1) == 1;
            ::_exit(woken && StopSignalReceived() == SIGHUP ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (uninstall)
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGHUP) << status;
        else
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
}
