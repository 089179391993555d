// One client connection of the score service, read and written under bounds that a slow or
// silent client cannot stretch: a request's head and body must arrive whole within one deadline
// (not a time-out per read, which a client sending a byte now and then would renew forever), a
// reply must leave within its own limit, and a service that is stopping gives up waiting on the
// connection within a fraction of a second. Also the count of connections open per client
// address, so that one address cannot hold every worker.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

class TDeadlineStream final : public httplib::Stream {
public:
    using TClock = std::chrono::steady_clock;

    // The socket stays the caller's to close.
    TDeadlineStream(int fd, const std::atomic<bool>& stopping,
                    std::chrono::milliseconds writeLimit);

    // Waits (at most idle) for the first byte of the next request. False when the client hung
    // up, stayed silent or the service is stopping.
    bool WaitForRequest(std::chrono::milliseconds idle);
    // Every read of the request from now on must end by deadline.
    void StartRequest(TClock::time_point deadline);
    // Whether a read of the current request ran past its deadline. Once it has, the stream
    // sends its own 408 reply instead of whatever cpp-httplib writes.
    bool Expired() const { return ReadExpired; }
    // Sends the 408 reply if it has not gone yet (cpp-httplib writes nothing when the request
    // line itself did not arrive).
    void SendTimeoutReply();
    // Whether any byte of the current request arrived.
    bool RequestStarted() const { return BytesThisRequest > 0; }
    // Sends a whole reply as it is (best effort, within the write limit).
    bool SendAll(const std::string& bytes);
    // Reads and drops what the client still sends, until it stops sending or `limit` passes,
    // so that closing does not reset the connection under a reply not yet read.
    void Drain(std::chrono::milliseconds limit);

    const std::string& RemoteIp() const { return Ip; }
    // The connection ends after the reply now being made: the rest of the request was not read.
    void CloseAfterReply() { Closing = true; }
    bool ClosesAfterReply() const { return Closing; }

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return Fd; }

private:
    // Polls for events until one comes, `until` passes or the service stops; the result of the
    // last poll (0 when none came).
    int PollUntil(short events, TClock::time_point until) const;

    int Fd;
    const std::atomic<bool>& Stopping;
    std::chrono::milliseconds WriteLimit;
    TClock::time_point Deadline = TClock::time_point::max();
    bool ReadExpired = false;
    bool TimeoutSent = false;
    bool Closing = false;
    size_t BytesThisRequest = 0;
    std::string Ip, LocalIp;
    int Port = 0, LocalPort = 0;
    char Buffer[4096];
    size_t BufferStart = 0, BufferEnd = 0;
};

// Connections open per client key; Enter refuses one past the most allowed.
class TConnectionCounter {
public:
    bool Enter(const std::string& key, size_t most);
    void Leave(const std::string& key);
    size_t Open(const std::string& key) const;

private:
    mutable std::mutex Lock;
    std::unordered_map<std::string, size_t> Counts;
};

// The reply to a connection past its address's limit: 503 with a short text.
std::string TooManyConnectionsReply();
