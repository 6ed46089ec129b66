#include "service/CurlLibrary.h"

#include <glog/logging.h>

#include <dlfcn.h>
#include <mutex>

namespace {

const CurlLibrary::Functions* Load()
{
    static CurlLibrary::Functions functions;
    void* handle = dlopen(CurlLibrary::kFileName, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        LOG(ERROR) << "Cannot load " << CurlLibrary::kFileName << ": " << dlerror();
        return nullptr;
    }
    bool complete = true;
#define KELVUE_CURL_RESOLVE(name)                                                               \
    functions.name = reinterpret_cast<decltype(functions.name)>(dlsym(handle, "curl_" #name)); \
    if (functions.name == nullptr) {                                                            \
        LOG(ERROR) << CurlLibrary::kFileName << " lacks curl_" #name;                          \
        complete = false;                                                                       \
    }
    KELVUE_CURL_FUNCTIONS(KELVUE_CURL_RESOLVE)
#undef KELVUE_CURL_RESOLVE
    if (!complete || functions.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        return nullptr;
    return &functions;
}

}  // namespace

const CurlLibrary::Functions* CurlLibrary::Get()
{
    static const Functions* const functions = Load();
    return functions;
}
