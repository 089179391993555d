// A library loaded while the program runs (dlopen on Linux, LoadLibrary on Windows), for code
// the program should not pay for until it is used. Failures keep the loader's own reason.
#pragma once

#include <string>

class TSharedLibrary {
public:
    // Loads the library by file name (the system's search rules) or path; Loaded() tells
    // whether that worked, and Error() why not.
    explicit TSharedLibrary(const std::string& name);
    // Unloads it: no function found in it may be called afterwards.
    ~TSharedLibrary();
    TSharedLibrary(const TSharedLibrary&) = delete;
    TSharedLibrary& operator=(const TSharedLibrary&) = delete;

    bool Loaded() const { return Handle != nullptr; }
    const std::string& Name() const { return LibraryName; }
    // Why loading failed, empty when it worked: "cannot load NAME: " and the loader's reason.
    const std::string& Error() const { return LoadError; }

    // The address of an exported function, or nullptr with the reason in error: Error() when
    // the library failed to load, else "no FUNCTION in NAME: " and the loader's reason.
    void* Function(const char* function, std::string& error) const;

private:
    std::string LibraryName;
    std::string LoadError;
    void* Handle = nullptr;
};
