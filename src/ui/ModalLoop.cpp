#include "ui/ModalLoop.h"

#include "ui/RequestRunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>

#include <vector>

namespace {

// UI thread only.
struct QuitState {
    bool pending = false;
    int code = 0;
    std::vector<ModalLoop*> running;
};

QuitState& State()
{
    static QuitState state;
    return state;
}

void QuitOnUiThread(int exitCode)
{
    State().pending = true;
    State().code = exitCode;
    for (auto it = State().running.rbegin(); it != State().running.rend(); ++it)
        (*it)->End();
    // A request under way gives up: the program is ending, its caller must not wait out a slow service.
    RequestRunner::StopAll();
}

}  // namespace

ModalLoop::ModalLoop() = default;

ModalLoop::~ModalLoop() = default;

bool ModalLoop::Run()
{
    if (State().pending)
        return false;
    QEventLoop loop;
    loop_ = &loop;
    State().running.push_back(this);
    if (!ended_)
        loop.exec(QEventLoop::DialogExec);
    State().running.erase(std::find(State().running.begin(), State().running.end(), this));
    loop_ = nullptr;
    return !State().pending;
}

void ModalLoop::End()
{
    ended_ = true;
    if (loop_)
        loop_->exit(0);
}

void PostQuitMessage(int exitCode)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread())
        QuitOnUiThread(exitCode);
    else
        QMetaObject::invokeMethod(app, [exitCode] { QuitOnUiThread(exitCode); }, Qt::QueuedConnection);
}

bool IsQuitPending()
{
    return State().pending;
}

int GetQuitCode()
{
    return State().code;
}

void ResetQuit()
{
    State().pending = false;
    State().code = 0;
}
