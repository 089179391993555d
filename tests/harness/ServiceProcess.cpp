#include "harness/ServiceProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

// The port in the service's first line: "... listening on http://127.0.0.1:PORT/ ...".
int PortFromLog(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::string marker = "listening on http://127.0.0.1:";
        const size_t at = line.find(marker);
        if (at == std::string::npos) continue;
        return std::atoi(line.c_str() + at + marker.size());
    }
    return 0;
}

}  // namespace

TServiceProcess::~TServiceProcess() {
    if (Running()) Kill();
}

bool TServiceProcess::Start(const std::string& binary, const std::string& dbPath,
                            const std::string& logPath, const std::vector<std::string>& extra,
                            int startLimitMs) {
    LogPath = logPath;
    std::vector<std::string> args = {binary, "--bind", "127.0.0.1", "--port", "0", "--db", dbPath};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    // The port is read from the log: a file left by an earlier run must not be read first.
    unlink(logPath.c_str());
    Pid = fork();
    if (Pid < 0) return false;
    if (Pid == 0) {
        const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
            close(log);
        }
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    for (int waited = 0; waited < startLimitMs; waited += 10) {
        ServicePort = PortFromLog(logPath);
        if (ServicePort > 0) return true;
        int status = 0;
        if (waitpid(Pid, &status, WNOHANG) == Pid) {
            Pid = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Kill();
    return false;
}

std::string TServiceProcess::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(ServicePort);
}

int TServiceProcess::Stop() {
    if (!Running()) return -1;
    kill(Pid, SIGTERM);
    int status = 0;
    waitpid(Pid, &status, 0);
    Pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<int> TServiceProcess::StopWithin(int limitMs) {
    if (!Running()) return -1;
    kill(Pid, SIGTERM);
    for (int waited = 0; waited <= limitMs; waited += 10) {
        int status = 0;
        if (waitpid(Pid, &status, WNOHANG) == Pid) {
            Pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Kill();
    return std::nullopt;
}

void TServiceProcess::Kill() {
    if (!Running()) return;
    kill(Pid, SIGKILL);
    int status = 0;
    waitpid(Pid, &status, 0);
    Pid = -1;
}

int UnusedLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t size = sizeof addr;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &size) == 0) {
        port = ntohs(addr.sin_port);
    }
    close(fd);
    return port;
}
