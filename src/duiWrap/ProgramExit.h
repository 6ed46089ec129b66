#pragma once

// The program's way out, whichever way it leaves: the close button, switch user, a termination
// signal (SIGTERM, SIGINT, SIGHUP: they quit like the close button) or exit() called elsewhere (Qt,
// when the display connection is lost). Every running recording is finished and the log flushed
// before the process ends; a crash flushes the log too. UI thread only.
class ProgramExit {
public:
    // Installs the signal handlers and the exit() hook (FinishMainWindow); call once the QApplication
    // exists.
    static void Prepare();
    // Finishes every running recording and flushes the log (a second call finds nothing to finish).
    static void Finish();
    // What the program runs once the main window's loop has ended, before the process ends: Finish,
    // then the main window's IM connection is ended as the window's destruction would end it (a wait
    // of at most ImConnectionThread::kStopWait) and the log flushed again. True when the IM thread
    // has left the client.
    static bool FinishMainWindow();
};
