// Termination signals reach the UI thread as a call that ends the modal loops, the way the close
// button does, so the program leaves through its shutdown path.
#include "app/TerminationSignals.h"
#include "ui/ModalLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <thread>
#include <unistd.h>

namespace {

TEST(TerminationSignals, EachSignalEndsTheModalLoopOnTheUiThreadAndASecondOneIsFatal)
{
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        new QCoreApplication(argc, argv);

    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        int received = 0;
        QThread* thread = nullptr;
        ASSERT_TRUE(TerminationSignals::Install([&](int number) {
            received = number;
            thread = QThread::currentThread();
            PostQuitMessage(0);
        }));
        // Sent from another thread, as a signal may land on any of the program's threads.
        QTimer::singleShot(50, [signal] { std::thread([signal] { kill(getpid(), signal); }).detach(); });
        ModalLoop loop;
        EXPECT_FALSE(loop.Run()) << "the loop ended for the quit";
        EXPECT_EQ(signal, received);
        EXPECT_EQ(QCoreApplication::instance()->thread(), thread);
        EXPECT_TRUE(IsQuitPending());
        ResetQuit();
        // The handler gave the signal its default action back: a second one would end the process.
        struct sigaction now {};
        sigaction(signal, nullptr, &now);
        EXPECT_EQ(SIG_DFL, now.sa_handler);
    }
}

}  // namespace
