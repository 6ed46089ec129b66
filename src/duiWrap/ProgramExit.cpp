#include "duiWrap/ProgramExit.h"

#include "app/StartupEnvironment.h"
#include "app/TerminationSignals.h"
#include "base/ExitHook.h"
#include "duiWrap/CDuiFrameWnd.h"
#include "ui/ModalLoop.h"
#include "video/PlayerManager.h"

#include <glog/logging.h>

#include <QString>
#include <QtGlobal>

namespace {

QtMessageHandler qtHandler = nullptr;

// Qt ends the process with exit() right after it warns, in these words, that the display connection
// broke. The way out runs here, before exit() destroys statics the IM thread still uses; a Qt that
// words it otherwise leaves it to the exit() hook, later.
void FinishBeforeQtExits(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    qtHandler(type, context, message);
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("The X11 connection broke")))
        ExitHook::RunNow();
}

}  // namespace

void ProgramExit::Prepare()
{
    // A crash (SIGSEGV, SIGABRT...) flushes the log and prints where it happened; glog's handler also
    // takes SIGTERM, which the next line takes back.
    google::InstallFailureSignalHandler();
    TerminationSignals::Install([](int) { PostQuitMessage(0); });
    // exit() called elsewhere (Qt's, when the display connection breaks) runs the static destructors
    // next: the IM thread must not be left running through them.
    ExitHook::Install([] { FinishMainWindow(); });
    qtHandler = qInstallMessageHandler(FinishBeforeQtExits);
}

void ProgramExit::Finish()
{
    PlayerManager::Instance()->FinishRecordings();
    LOG(INFO) << "the program ends";
    StartupEnvironment::FlushLog();
}

bool ProgramExit::FinishMainWindow()
{
    // Recordings and the log first: a hung IM thread must not keep them waiting.
    Finish();
    // A main window that was destroyed has ended its IM connection already.
    const bool ended = CDuiFrameWnd::MainHandle() == nullptr || CDuiFrameWnd::Instance()->EndImConnection();
    StartupEnvironment::FlushLog();  // what the IM thread logged on its way out
    return ended;
}
