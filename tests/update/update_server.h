// A small HTTP server on 127.0.0.1 (a free port) standing in for the update
// server: it answers each path with a reply the test composes byte for byte.
#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class UpdateServer {
public:
    // Writes the whole reply to the socket; stop turns true when the server ends.
    using Reply = std::function<void(int fd, const std::atomic<bool>& stop)>;

    UpdateServer();
    ~UpdateServer();
    UpdateServer(const UpdateServer&) = delete;
    UpdateServer& operator=(const UpdateServer&) = delete;

    // "http://127.0.0.1:port"
    QString Address() const;
    int Port() const { return port_; }

    // Unknown paths get a 404 page.
    void Serve(const std::string& path, Reply reply);
    // 200 with Content-Length and the body.
    void ServeFile(const std::string& path, const std::string& body);
    // Exactly these bytes, then the connection closes.
    void ServeRaw(const std::string& path, const std::string& bytes);

    // The paths asked for, in order.
    std::vector<std::string> Requests();
    void ClearRequests();

    // False once the client has gone.
    static bool Send(int fd, const std::string& bytes);
    // Keeps the connection open and silent until the client gives up.
    static void Stall(int fd, const std::atomic<bool>& stop);
    static std::string Head(int status, const std::string& headers);

private:
    void Run();
    void Answer(int fd);

    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::map<std::string, Reply> replies_;
    std::vector<std::string> requests_;
};

// An address on 127.0.0.1 where nothing listens.
QString ClosedLocalAddress();
