// libcurl's functions, found in its shared library the first time the game goes online: a game
// that never does keeps libcurl and its TLS and directory libraries out of its memory. The
// header is libcurl's own, for its types and constants; nothing links against the library.
#pragma once

#include <curl/curl.h>

#include <string>

struct TCurlApi {
    decltype(&curl_global_init) GlobalInit = nullptr;
    decltype(&curl_easy_init) EasyInit = nullptr;
    decltype(&curl_easy_setopt) EasySetopt = nullptr;
    decltype(&curl_easy_getinfo) EasyGetinfo = nullptr;
    decltype(&curl_easy_strerror) EasyStrerror = nullptr;
    decltype(&curl_easy_cleanup) EasyCleanup = nullptr;
    decltype(&curl_multi_init) MultiInit = nullptr;
    decltype(&curl_multi_add_handle) MultiAddHandle = nullptr;
    decltype(&curl_multi_remove_handle) MultiRemoveHandle = nullptr;
    decltype(&curl_multi_perform) MultiPerform = nullptr;
    decltype(&curl_multi_poll) MultiPoll = nullptr;
    decltype(&curl_multi_info_read) MultiInfoRead = nullptr;
    decltype(&curl_multi_wakeup) MultiWakeup = nullptr;
    decltype(&curl_multi_cleanup) MultiCleanup = nullptr;
    decltype(&curl_slist_append) SlistAppend = nullptr;
    decltype(&curl_slist_free_all) SlistFreeAll = nullptr;
};

struct TCurlLibrary {
    // Every function was found and libcurl is set up (curl_global_init).
    bool Ready = false;
    // Why not, naming the library and the loader's reason.
    std::string Error;
    TCurlApi Api;
};

// Loads libcurl from libraryName (kCurlLibraryName in the game), finds its functions and sets
// it up, once per name for the life of the process; a failure is kept too, and reported once on
// standard error. Safe from any thread: a second caller waits until the first is done. The
// library stays loaded until the process ends, as a worker given up on at quit may still be
// inside it.
const TCurlLibrary& LoadCurlLibrary(const std::string& libraryName);
