#include "server/RawHttp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdlib>
#include <strings.h>

namespace {
// The Content-Length header's value; 0 when there is none.
size_t ContentLength(const std::string& head) {
    size_t start = 0;
    while ((start = head.find("\r\n", start)) != std::string::npos) {
        start += 2;
        const std::string name = "content-length:";
        if (strncasecmp(head.c_str() + start, name.c_str(), name.size()) == 0)
            return std::strtoul(head.c_str() + start + name.size(), nullptr, 10);
    }
    return 0;
}
}  // namespace

TRawConnection::TRawConnection(int port, const std::string& from) {
    Fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (Fd < 0) return;
    timeval limit{10, 0};
    ::setsockopt(Fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(Fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    sockaddr_in source{};
    source.sin_family = AF_INET;
    if (::inet_pton(AF_INET, from.c_str(), &source.sin_addr) != 1 ||
        ::bind(Fd, reinterpret_cast<const sockaddr*>(&source), sizeof source) != 0) {
        Close();
        return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(Fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) Close();
}

TRawConnection::~TRawConnection() {
    Close();
}

bool TRawConnection::Send(const std::string& bytes) {
    size_t sent = 0;
    while (Fd >= 0 && sent < bytes.size()) {
        const ssize_t n = ::send(Fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return Fd >= 0;
}

bool TRawConnection::Receive() {
    if (Fd < 0) return false;
    char buffer[4096];
    const ssize_t n = ::recv(Fd, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    Pending.append(buffer, static_cast<size_t>(n));
    return true;
}

std::optional<TRawReply> TRawConnection::Read() {
    size_t end;
    while ((end = Pending.find("\r\n\r\n")) == std::string::npos) {
        if (!Receive()) return std::nullopt;
    }
    TRawReply reply;
    reply.Head = Pending.substr(0, end);
    Pending.erase(0, end + 4);
    reply.Status = std::atoi(reply.Head.substr(reply.Head.find(' ') + 1).c_str());
    const size_t length = ContentLength(reply.Head);
    while (Pending.size() < length && Receive()) {
    }
    reply.Whole = Pending.size() >= length;
    reply.Body = Pending.substr(0, length);
    Pending.erase(0, reply.Body.size());
    return reply;
}

bool TRawConnection::Readable(int waitMs) {
    if (!Pending.empty()) return true;
    if (Fd < 0) return false;
    pollfd p{Fd, POLLIN, 0};
    return ::poll(&p, 1, waitMs) > 0;
}

int TRawConnection::LocalPort() const {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    if (Fd < 0 || ::getsockname(Fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return -1;
    return ntohs(address.sin_port);
}

void TRawConnection::Close() {
    if (Fd >= 0) ::close(Fd);
    Fd = -1;
}

std::string RawGet(const std::string& target) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}
