#include "video/PlayerLibrary.h"

#include "app/LocalConfig.h"
#include "app/ProgramFolders.h"

#include <dlfcn.h>
#include <glog/logging.h>
#include <link.h>

#include <algorithm>
#include <unistd.h>
#include <utility>

namespace {

// The folders the dynamic linker searches for the executable's own libraries, in its order.
std::vector<std::string> ExecutableSearchPath()
{
    std::vector<std::string> folders;
    void* program = dlopen(nullptr, RTLD_LAZY);
    Dl_serinfo size{};
    if (program == nullptr || dlinfo(program, RTLD_DI_SERINFOSIZE, &size) != 0)
        return folders;
    std::vector<char> buffer(size.dls_size);
    auto* info = reinterpret_cast<Dl_serinfo*>(buffer.data());
    *info = size;
    if (dlinfo(program, RTLD_DI_SERINFOSIZE, info) == 0 && dlinfo(program, RTLD_DI_SERINFO, info) == 0) {
        for (unsigned i = 0; i < info->dls_cnt; ++i)
            folders.push_back(std::string(info->dls_serpath[i].dls_name) + "/");
    }
    return folders;
}

}  // namespace

PlayerLibrary& PlayerLibrary::Instance()
{
    static PlayerLibrary library(ProgramCandidates());
    return library;
}

std::vector<std::string> PlayerLibrary::ProgramCandidates()
{
    std::vector<std::string> folders = ProgramFolders::LibraryDirectories(LocalConfig::ExecutableDirectory());
    for (std::string& folder : ExecutableSearchPath())
        folders.push_back(std::move(folder));
    std::vector<std::string> files;
    for (const std::string& folder : folders) {
        std::string file = folder + kFileName;
        if (std::find(files.begin(), files.end(), file) == files.end())
            files.push_back(std::move(file));
    }
    return files;
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
    std::string reasons;
    for (const std::string& file : files_) {
        if (access(file.c_str(), F_OK) != 0)
            continue;
        void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            reasons += std::string("; ") + dlerror();
            continue;
        }
        Functions found;
        std::string missing;
#define KELVUE_PLAYER_LIBRARY_RESOLVE(name)                                         \
    found.name = reinterpret_cast<decltype(found.name)>(dlsym(handle, #name)); \
    if (found.name == nullptr)                                                     \
        missing += " " #name;
        KELVUE_PLAYER_LIBRARY_FUNCTIONS(KELVUE_PLAYER_LIBRARY_RESOLVE)
#undef KELVUE_PLAYER_LIBRARY_RESOLVE
        if (!missing.empty()) {
            reasons += "; " + file + " lacks" + missing;
            dlclose(handle);
            continue;
        }
        functions_ = found;
        loaded_ = true;
        if (host_)
            functions_.SetPlayerHost(&*host_);
        LOG(INFO) << "the player library was loaded from " << file;
        return;
    }
    if (reasons.empty()) {
        reasons = std::string("; no ") + kFileName + " among";
        for (const std::string& file : files_)
            reasons += " " + file;
    }
    failure_ = reasons.substr(2);
    LOG(ERROR) << "the player library could not be loaded, no video can play: " << failure_;
}
