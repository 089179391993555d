// The real velkaro-scores program as a child process for tests and the load benchmark: started
// on a free loopback port with the given database, its log in a file, stopped with SIGTERM or
// killed outright.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

class TServiceProcess {
public:
    TServiceProcess() = default;
    ~TServiceProcess();  // kills a service still running
    TServiceProcess(const TServiceProcess&) = delete;
    TServiceProcess& operator=(const TServiceProcess&) = delete;

    // Starts `binary --bind 127.0.0.1 --port 0 --db dbPath extra...` and waits (at most
    // startLimitMs) for the line that names its port. Returns false if it did not come up.
    bool Start(const std::string& binary, const std::string& dbPath, const std::string& logPath,
               const std::vector<std::string>& extra = {}, int startLimitMs = 20000);
    int Port() const { return ServicePort; }
    std::string BaseUrl() const;
    bool Running() const { return Pid > 0; }
    // SIGTERM and wait; returns the exit status (or -1 when it did not exit normally).
    int Stop();
    // SIGTERM and wait at most limitMs: the exit status (-1 when it did not exit normally), or
    // nothing when it was still running then (it is killed).
    std::optional<int> StopWithin(int limitMs);
    // SIGKILL and wait.
    void Kill();

private:
    pid_t Pid = -1;
    int ServicePort = 0;
    std::string LogPath;
};

// A loopback port with nothing listening on it (bound once, then closed).
int UnusedLoopbackPort();
