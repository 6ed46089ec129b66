#include "glooxWrap/XmppLibrary.h"

#include "app/ProgramLibraryLoader.h"

#include <glog/logging.h>

#include <optional>
#include <utility>

XmppLibrary& XmppLibrary::Instance()
{
    static XmppLibrary library(ProgramLibraryLoader::ProgramCandidates(kFileName));
    return library;
}

XmppLibrary::XmppLibrary(std::vector<std::string> files) : files_(std::move(files)) {}

XmppLibrary::Factory XmppLibrary::Get()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (tried_)
        return factory_;
    tried_ = true;
    std::string file;
    const std::optional<std::vector<void*>> addresses =
        ProgramLibraryLoader::OpenFirst(files_, kFileName, {"CreateXmppSession"}, file, failure_);
    if (!addresses) {
        LOG(ERROR) << "the IM library could not be loaded, no camera can be reached: " << failure_;
        return nullptr;
    }
    factory_ = reinterpret_cast<Factory>(addresses->front());
    LOG(INFO) << "the IM library was loaded from " << file;
    return factory_;
}

std::string XmppLibrary::Failure()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}
