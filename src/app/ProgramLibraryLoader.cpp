#include "app/ProgramLibraryLoader.h"

#include "app/LocalConfig.h"
#include "app/ProgramFolders.h"

#include <dlfcn.h>
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

std::vector<std::string> ProgramLibraryLoader::ProgramCandidates(const std::string& fileName)
{
    std::vector<std::string> folders = ProgramFolders::LibraryDirectories(LocalConfig::ExecutableDirectory());
    for (std::string& folder : ExecutableSearchPath())
        folders.push_back(std::move(folder));
    std::vector<std::string> files;
    for (const std::string& folder : folders) {
        std::string file = folder + fileName;
        if (std::find(files.begin(), files.end(), file) == files.end())
            files.push_back(std::move(file));
    }
    return files;
}

std::optional<std::vector<void*>> ProgramLibraryLoader::OpenFirst(const std::vector<std::string>& files,
                                                                  const std::string& fileName,
                                                                  const std::vector<const char*>& functions,
                                                                  std::string& loadedFrom, std::string& failure)
{
    std::string reasons;
    for (const std::string& file : files) {
        if (access(file.c_str(), F_OK) != 0)
            continue;
        void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            reasons += std::string("; ") + dlerror();
            continue;
        }
        std::vector<void*> addresses;
        std::string missing;
        for (const char* name : functions) {
            addresses.push_back(dlsym(handle, name));
            if (addresses.back() == nullptr)
                missing += std::string(" ") + name;
        }
        if (!missing.empty()) {
            reasons += "; " + file + " lacks" + missing;
            dlclose(handle);
            continue;
        }
        loadedFrom = file;
        failure.clear();
        return addresses;
    }
    if (reasons.empty()) {
        reasons = "; no " + fileName + " among";
        for (const std::string& file : files)
            reasons += " " + file;
    }
    failure = reasons.substr(2);
    return std::nullopt;
}
