#include "server/Connection.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// How often a wait looks at whether the service is stopping.
constexpr std::chrono::milliseconds kStopCheck{50};

std::string PlainReply(const std::string& statusLine, const std::string& text) {
    return "HTTP/1.1 " + statusLine +
           "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
           std::to_string(text.size()) + "\r\nConnection: close\r\n\r\n" + text;
}

void AddressOf(const sockaddr_storage& address, socklen_t size, std::string& ip, int& port) {
    char host[NI_MAXHOST] = {}, service[NI_MAXSERV] = {};
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), size, host, sizeof host, service,
                    sizeof service, NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return;
    ip = host;
    port = std::atoi(service);
}

}  // namespace

TDeadlineStream::TDeadlineStream(int fd, const std::atomic<bool>& stopping,
                                 std::chrono::milliseconds writeLimit)
    : Fd(fd), Stopping(stopping), WriteLimit(writeLimit) {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (getpeername(Fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        AddressOf(address, size, Ip, Port);
    size = sizeof address;
    if (getsockname(Fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        AddressOf(address, size, LocalIp, LocalPort);
}

int TDeadlineStream::PollUntil(short events, TClock::time_point until) const {
    for (;;) {
        const auto now = TClock::now();
        if (Stopping || now >= until) return 0;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now);
        pollfd p{Fd, events, 0};
        const int ready = ::poll(
            &p, 1,
            static_cast<int>(std::clamp(left, std::chrono::milliseconds(1), kStopCheck).count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready != 0) return ready;
    }
}

bool TDeadlineStream::WaitForRequest(std::chrono::milliseconds idle) {
    if (BufferStart < BufferEnd) return true;
    const auto until = TClock::now() + idle;
    if (PollUntil(POLLIN, until) <= 0) return false;
    // Readable may mean the client hung up: look without taking the bytes.
    char probe = 0;
    return ::recv(Fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT) == 1;
}

void TDeadlineStream::StartRequest(TClock::time_point deadline) {
    Deadline = deadline;
    ReadExpired = false;
    TimeoutSent = false;
    BytesThisRequest = 0;
}

bool TDeadlineStream::is_readable() const {
    return BufferStart < BufferEnd || PollUntil(POLLIN, Deadline) > 0;
}

bool TDeadlineStream::is_writable() const {
    return PollUntil(POLLOUT, TClock::now() + WriteLimit) > 0;
}

ssize_t TDeadlineStream::read(char* ptr, size_t size) {
    if (BufferStart == BufferEnd) {
        if (ReadExpired) return -1;
        const int ready = PollUntil(POLLIN, Deadline);
        if (ready <= 0) {
            if (!Stopping) ReadExpired = true;
            return -1;
        }
        ssize_t n = 0;
        do {
            n = ::recv(Fd, Buffer, sizeof Buffer, 0);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) return n;
        BufferStart = 0;
        BufferEnd = static_cast<size_t>(n);
    }
    const size_t n = std::min(size, BufferEnd - BufferStart);
    std::memcpy(ptr, Buffer + BufferStart, n);
    BufferStart += n;
    BytesThisRequest += n;
    return static_cast<ssize_t>(n);
}

ssize_t TDeadlineStream::write(const char* ptr, size_t size) {
    if (ReadExpired) {
        // cpp-httplib answers a request it could not read with 400; the client was too slow.
        SendTimeoutReply();
        return static_cast<ssize_t>(size);
    }
    const auto until = TClock::now() + WriteLimit;
    size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(Fd, ptr + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return -1;
        // A reader too slow for the limit, or one a stopping service no longer waits for.
        if (PollUntil(POLLOUT, until) <= 0) return -1;
    }
    return static_cast<ssize_t>(sent);
}

void TDeadlineStream::SendTimeoutReply() {
    if (TimeoutSent) return;
    TimeoutSent = true;
    const bool wasExpired = ReadExpired;
    ReadExpired = false;  // so that the reply itself goes out
    SendAll(PlainReply("408 Request Timeout", "The request did not arrive in time.\n"));
    ReadExpired = wasExpired;
}

bool TDeadlineStream::SendAll(const std::string& bytes) {
    return write(bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

void TDeadlineStream::Drain(std::chrono::milliseconds limit) {
    ::shutdown(Fd, SHUT_WR);
    const auto until = TClock::now() + limit;
    char sink[1024];
    while (PollUntil(POLLIN, until) > 0) {
        if (::recv(Fd, sink, sizeof sink, MSG_DONTWAIT) <= 0) return;
    }
}

void TDeadlineStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    ip = Ip;
    port = Port;
}

void TDeadlineStream::get_local_ip_and_port(std::string& ip, int& port) const {
    ip = LocalIp;
    port = LocalPort;
}

bool TConnectionCounter::Enter(const std::string& key, size_t most) {
    std::lock_guard<std::mutex> guard(Lock);
    size_t& count = Counts[key];
    if (count >= most) {
        if (count == 0) Counts.erase(key);
        return false;
    }
    ++count;
    return true;
}

void TConnectionCounter::Leave(const std::string& key) {
    std::lock_guard<std::mutex> guard(Lock);
    const auto it = Counts.find(key);
    if (it == Counts.end()) return;
    if (--it->second == 0) Counts.erase(it);
}

size_t TConnectionCounter::Open(const std::string& key) const {
    std::lock_guard<std::mutex> guard(Lock);
    const auto it = Counts.find(key);
    return it == Counts.end() ? 0 : it->second;
}

std::string TooManyConnectionsReply() {
    return PlainReply("503 Service Unavailable\r\nRetry-After: 5",
                      "Too many connections from your address; please close some and retry.\n");
}
