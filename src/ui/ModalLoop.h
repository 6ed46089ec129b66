#pragma once

// Modal message loops and the quit message. A loop runs the UI thread's events until it is ended
// or a quit arrives; a quit ends every running loop, innermost first, and stays pending (it is
// "passed on"), so a loop started afterwards returns at once. UI thread only, except
// PostQuitMessage, which any thread may call.

class QEventLoop;

class ModalLoop {
public:
    ModalLoop();
    ~ModalLoop();
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;

    // Runs until End or a quit. Returns false when a quit ended it (or was already pending).
    bool Run();
    void End();

private:
    QEventLoop* loop_ = nullptr;
    bool ended_ = false;
};

void PostQuitMessage(int exitCode);
bool IsQuitPending();
int GetQuitCode();
// Consumes a pending quit (the outermost loop of a program, or a test between cases).
void ResetQuit();
