// A session's stop signals: caught from its start, while the data and the effects are still
// loading, not only once the show plays.
#include "app/session.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace glimmerq;

TEST(Session, CatchesStopSignalsFromItsStartEvenWhereTheyWereIgnoredAndRestoresThem) {
    // A shell starts a job in the background with SIGINT ignored; `kill -INT` must stop it
    // however early it comes.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    struct sigaction before {};
    sigaction(SIGINT, &ignore, &before);
    {
        const Messages messages;
        DemoGlHost host(messages);
        SteadyClock clock;
        Session session(Options{}, host, clock, messages);
        for (const int number : {SIGINT, SIGTERM}) {
            struct sigaction now {};
            sigaction(number, nullptr, &now);
            EXPECT_NE(now.sa_handler, SIG_IGN) << number;
            EXPECT_NE(now.sa_handler, SIG_DFL) << number;
        }
        // Noted for the run, not the end of this process.
        raise(SIGINT);
        EXPECT_EQ(session.exitCode(), 0) << "nothing has run yet";
    }
    struct sigaction after {};
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN) << "the shell's choice is back once the session ends";
    sigaction(SIGINT, &before, nullptr);
}
