#include "video/PlayerLibrary.h"

#include "app/ProgramLibraryLoader.h"

#include <glog/logging.h>

#include <utility>

PlayerLibrary& PlayerLibrary::Instance()
{
    static PlayerLibrary library(ProgramLibraryLoader::ProgramCandidates(kFileName));
    return library;
}

PlayerLibrary::PlayerLibrary(std::vector<std::string> files) : files_(std::move(files)) {}

const PlayerLibrary::Functions* PlayerLibrary::Get()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!tried_) {
        tried_ = true;
        Load();
    }
    return loaded_ ? &functions_ : nullptr;
}

std::string PlayerLibrary::Failure()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

void PlayerLibrary::SetHost(const PlayerHost& host)
{
    std::lock_guard<std::mutex> lock(mutex_);
    host_ = host;
    if (loaded_)
        functions_.SetPlayerHost(&*host_);
}

void PlayerLibrary::Load()
{
    static const std::vector<const char*> kNames = {
#define KELVUE_PLAYER_LIBRARY_NAME(name) #name,
        KELVUE_PLAYER_LIBRARY_FUNCTIONS(KELVUE_PLAYER_LIBRARY_NAME)
#undef KELVUE_PLAYER_LIBRARY_NAME
    };
    std::string file;
    const std::optional<std::vector<void*>> addresses =
        ProgramLibraryLoader::OpenFirst(files_, kFileName, kNames, file, failure_);
    if (!addresses) {
        LOG(ERROR) << "the player library could not be loaded, no video can play: " << failure_;
        return;
    }
    size_t next = 0;
#define KELVUE_PLAYER_LIBRARY_ASSIGN(name) \
    functions_.name = reinterpret_cast<decltype(functions_.name)>((*addresses)[next++]);
    KELVUE_PLAYER_LIBRARY_FUNCTIONS(KELVUE_PLAYER_LIBRARY_ASSIGN)
#undef KELVUE_PLAYER_LIBRARY_ASSIGN
    loaded_ = true;
    if (host_)
        functions_.SetPlayerHost(&*host_);
    LOG(INFO) << "the player library was loaded from " << file;
}
