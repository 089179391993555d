// A bare HTTP/1.1 client over one loopback TCP connection, for tests that must know which
// connection a request travels on: requests go out as given, replies are read whole by their
// Content-Length, and a reply cut short is told apart from none at all. Every read gives up
// after ten seconds.
#pragma once

#include <optional>
#include <string>

struct TRawReply {
    int Status = 0;
    std::string Head;  // the status line and headers
    std::string Body;
    bool Whole = false;  // the body had every byte its Content-Length promised
};

class TRawConnection {
public:
    // Connects from `from`, an address of the loopback range (127.0.0.0/8), so that a test can
    // play several clients.
    explicit TRawConnection(int port, const std::string& from = "127.0.0.1");
    ~TRawConnection();
    TRawConnection(const TRawConnection&) = delete;
    TRawConnection& operator=(const TRawConnection&) = delete;

    bool Connected() const { return Fd >= 0; }
    bool Send(const std::string& bytes);
    // The next reply; nullopt when the connection ends (or ten seconds pass) before its head.
    std::optional<TRawReply> Read();
    // Whether bytes (or the end of the connection) wait to be read, looking for up to waitMs.
    bool Readable(int waitMs);
    // The client's end of the connection, to find the server's end by.
    int LocalPort() const;
    void Close();

private:
    bool Receive();

    int Fd = -1;
    std::string Pending;
};

// A GET that leaves the connection open for more.
std::string RawGet(const std::string& target);
