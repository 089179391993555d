#include "shell/CurlLibrary.h"

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <type_traits>

#include "platform/SharedLibrary.h"

namespace {

struct TLoaded {
    std::unique_ptr<TSharedLibrary> Library;
    TCurlLibrary Curl;
};

// Finds every function; false with the first one's error when one is missing.
bool FindFunctions(const TSharedLibrary& library, TCurlApi& api, std::string& error) {
    bool ok = true;
    auto find = [&](auto& slot, const char* name) {
        if (!ok) return;
        void* address = library.Function(name, error);
        if (address == nullptr) {
            ok = false;
            return;
        }
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(address);
    };
    find(api.GlobalInit, "curl_global_init");
    find(api.EasyInit, "curl_easy_init");
    find(api.EasySetopt, "curl_easy_setopt");
    find(api.EasyGetinfo, "curl_easy_getinfo");
    find(api.EasyStrerror, "curl_easy_strerror");
    find(api.EasyCleanup, "curl_easy_cleanup");
    find(api.MultiInit, "curl_multi_init");
    find(api.MultiAddHandle, "curl_multi_add_handle");
    find(api.MultiRemoveHandle, "curl_multi_remove_handle");
    find(api.MultiPerform, "curl_multi_perform");
    find(api.MultiPoll, "curl_multi_poll");
    find(api.MultiInfoRead, "curl_multi_info_read");
    find(api.MultiWakeup, "curl_multi_wakeup");
    find(api.MultiCleanup, "curl_multi_cleanup");
    find(api.SlistAppend, "curl_slist_append");
    find(api.SlistFreeAll, "curl_slist_free_all");
    return ok;
}

void Load(const std::string& name, TLoaded& loaded) {
    TCurlLibrary& curl = loaded.Curl;
    loaded.Library = std::make_unique<TSharedLibrary>(name);
    std::string reason = loaded.Library->Error();
    if (loaded.Library->Loaded() && FindFunctions(*loaded.Library, curl.Api, reason)) {
        const CURLcode code = curl.Api.GlobalInit(CURL_GLOBAL_DEFAULT);
        if (code == CURLE_OK) {
            curl.Ready = true;
            return;
        }
        reason = "curl_global_init in " + name + " failed: " + curl.Api.EasyStrerror(code);
    }
    curl.Error = "libcurl is unavailable (" + reason + ")";
    curl.Api = {};
    loaded.Library.reset();
    std::fprintf(stderr, "Velkaro: the game cannot go online: %s\n", curl.Error.c_str());
}

}  // namespace

const TCurlLibrary& LoadCurlLibrary(const std::string& libraryName) {
    static std::mutex lock;
    // Never freed: the libraries stay loaded until the process ends.
    static auto& loaded = *new std::map<std::string, TLoaded>;
    std::lock_guard<std::mutex> guard(lock);
    auto [entry, added] = loaded.try_emplace(libraryName);
    if (added) Load(libraryName, entry->second);
    return entry->second.Curl;
}
