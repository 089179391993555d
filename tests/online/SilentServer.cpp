#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "online/OnlineTestUtil.h"

TSilentServer::TSilentServer() {
    Listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof addr;
    if (Listener < 0 || bind(Listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(Listener, 16) != 0 ||
        getsockname(Listener, reinterpret_cast<sockaddr*>(&addr), &size) != 0) {
        return;
    }
    ListenPort = ntohs(addr.sin_port);
    Acceptor = std::thread([this] {
        while (!Stopping) {
            pollfd p{Listener, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            const int fd = accept(Listener, nullptr, nullptr);
            if (fd < 0) continue;
            Connections.push_back(fd);
            ++AcceptedCount;
        }
    });
}

TSilentServer::~TSilentServer() {
    Stopping = true;
    if (Acceptor.joinable()) Acceptor.join();
    for (int fd : Connections) close(fd);
    if (Listener >= 0) close(Listener);
}
