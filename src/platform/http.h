// HTTP GET for the updater, over libcurl. The body is streamed: Read() hands
// out what has arrived so far, so a caller can show progress block by block.
//
// Every request goes out with the agent "Quarnel", straight to the server
// (no proxy, whatever the environment says), with no-cache headers so that no
// cache in between answers for the server. Redirects are not followed: the
// update server is a fixed address and a redirect is not the file asked for.
// TLS certificates are verified for https.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class THttpRequest {
public:
    THttpRequest();
    ~THttpRequest();
    THttpRequest(const THttpRequest&) = delete;
    THttpRequest& operator=(const THttpRequest&) = delete;

    // Sends the request and waits for the reply's headers. True when a reply
    // arrived, whatever its status; false when none did (refused, unreachable,
    // timed out, bad address), with Status() -1 and Error() saying why.
    bool Open(const QString& url);
    // Ends the transfer; the destructor does it too.
    void Close();

    // The reply's HTTP status, or -1 when there is no reply.
    int Status() const { return status_; }
    // Only when the reply has a Content-Length header (a chunked reply has none).
    std::optional<qint64> ContentLength() const { return contentLength_; }

    // Reads up to max bytes of the body, waiting for them to arrive. Returns the
    // count, 0 at the end of a complete body, or -1 on a failed transfer: time-out,
    // connection reset, or a body that ends before its Content-Length (the bytes
    // that did arrive are handed out first).
    qint64 Read(char* buf, qint64 max);

    bool Failed() const { return failed_; }
    // The transfer failed because a time limit ran out (connection, stall or
    // the whole request).
    bool TimedOut() const { return timedOut_; }
    // The wait hook gave up on the transfer.
    bool Cancelled() const { return cancelled_; }
    QString Error() const { return error_; }

    // Connection time-out and the longest time the transfer may stall without a
    // byte arriving. Defaults are 10 s and 30 s.
    static void SetTimeoutsForTests(int connectMs, int stallMs);
    static void ResetTimeouts();
    // A limit on the whole request, headers and body, from Open on; 0 = none.
    // Set before Open.
    void SetTimeLimit(int ms) { limitMs_ = ms; }
    // A shorter stall limit for this request; 0 = the default. Set before Open.
    void SetStallLimit(int ms) { stallLimitMs_ = ms; }
    // Called at least every 50 ms while Open or Read wait for the server, so
    // that a window can go on answering; when it returns false the transfer
    // ends at once and Open or Read fails with Cancelled().
    void SetWaitHook(std::function<bool()> hook) { waitHook_ = std::move(hook); }

private:
    struct Impl;
    // Drives the transfer until done() says so, the transfer ends, or it fails.
    void Pump(const std::function<bool()>& done);
    void Fail(const QString& message);

    std::unique_ptr<Impl> d_;
    int status_ = -1;
    std::optional<qint64> contentLength_;
    int limitMs_ = 0;
    int stallLimitMs_ = 0;
    bool failed_ = false;
    bool timedOut_ = false;
    bool cancelled_ = false;
    std::function<bool()> waitHook_;
    QString error_;
};
