#include "duiWrap/ProgramExit.h"

#include "app/StartupEnvironment.h"
#include "app/TerminationSignals.h"
#include "ui/ModalLoop.h"
#include "video/PlayerManager.h"

#include <glog/logging.h>

#include <cstdlib>

void ProgramExit::Prepare()
{
    // A crash (SIGSEGV, SIGABRT...) flushes the log and prints where it happened; glog's handler also
    // takes SIGTERM, which the next line takes back.
    google::InstallFailureSignalHandler();
    TerminationSignals::Install([](int) { PostQuitMessage(0); });
    std::atexit(&ProgramExit::Finish);
}

void ProgramExit::Finish()
{
    PlayerManager::Instance()->FinishRecordings();
    LOG(INFO) << "the program ends";
    StartupEnvironment::FlushLog();
}
