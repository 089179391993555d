#include "platform/SharedLibrary.h"

#include <SDL.h>

namespace {
std::string Reason() {
    const char* text = SDL_GetError();
    return text != nullptr && text[0] != '\0' ? text : "no reason given";
}
}  // namespace

TSharedLibrary::TSharedLibrary(const std::string& name) : LibraryName(name) {
    SDL_ClearError();
    Handle = SDL_LoadObject(name.c_str());
    if (Handle == nullptr) LoadError = "cannot load " + name + ": " + Reason();
}

TSharedLibrary::~TSharedLibrary() {
    if (Handle != nullptr) SDL_UnloadObject(Handle);
}

void* TSharedLibrary::Function(const char* function, std::string& error) const {
    if (Handle == nullptr) {
        error = LoadError;
        return nullptr;
    }
    SDL_ClearError();
    void* address = SDL_LoadFunction(Handle, function);
    if (address == nullptr) {
        error = std::string("no ") + function + " in " + LibraryName + ": " + Reason();
    }
    return address;
}
