// Setting and clearing environment variables in tests, on Linux and on Windows (which has
// _putenv_s instead of setenv and unsetenv).
#pragma once

#include <cstdlib>

// Sets name to value; with replace false an existing value stays.
inline void SetEnvironment(const char* name, const char* value, bool replace = true) {
#ifdef _WIN32
    if (!replace && std::getenv(name) != nullptr) return;
    _putenv_s(name, value);
#else
    setenv(name, value, replace ? 1 : 0);
#endif
}

inline void UnsetEnvironment(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");  // an empty value removes the variable there
#else
    unsetenv(name);
#endif
}
