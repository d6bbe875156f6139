#include "update/update_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {
int ListenOnFreeLocalPort(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 16) != 0) {
        ADD_FAILURE() << "the test server cannot listen on 127.0.0.1";
        port = 0;
        return fd;
    }
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}
}  // namespace

UpdateServer::UpdateServer()
{
    listen_ = ListenOnFreeLocalPort(port_);
    thread_ = std::thread([this] { Run(); });
}

UpdateServer::~UpdateServer()
{
    stop_ = true;
    thread_.join();
    ::close(listen_);
}

QString UpdateServer::Address() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

void UpdateServer::Serve(const std::string& path, Reply reply)
{
    std::lock_guard<std::mutex> lock(mutex_);
    replies_[path] = std::move(reply);
}

void UpdateServer::ServeFile(const std::string& path, const std::string& body)
{
    ServeRaw(path, Head(200, "Content-Length: " + std::to_string(body.size()) + "\r\n") + body);
}

void UpdateServer::ServeRaw(const std::string& path, const std::string& bytes)
{
    Serve(path, [bytes](int fd, const std::atomic<bool>&) { Send(fd, bytes); });
}

std::vector<std::string> UpdateServer::Requests()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void UpdateServer::ClearRequests()
{
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
}

bool UpdateServer::Send(int fd, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += size_t(n);
    }
    return true;
}

void UpdateServer::Stall(int fd, const std::atomic<bool>& stop)
{
    char buf[256];
    while (!stop) {
        pollfd c{fd, POLLIN, 0};
        if (::poll(&c, 1, 20) > 0 && ::recv(fd, buf, sizeof buf, 0) <= 0)
            return;
    }
}

std::string UpdateServer::Head(int status, const std::string& headers)
{
    return "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Error") + "\r\n" + headers +
           "Connection: close\r\n\r\n";
}

void UpdateServer::Run()
{
    while (!stop_) {
        pollfd p{listen_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        Answer(fd);
        ::shutdown(fd, SHUT_WR);
        ::close(fd);
    }
}

void UpdateServer::Answer(int fd)
{
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        pollfd c{fd, POLLIN, 0};
        if (::poll(&c, 1, 5000) <= 0)
            return;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        request.append(buf, size_t(n));
    }
    // "GET /path HTTP/1.1"
    const size_t from = request.find(' ') + 1;
    const std::string path = request.substr(from, request.find(' ', from) - from);
    Reply reply;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(path);
        if (auto it = replies_.find(path); it != replies_.end())
            reply = it->second;
    }
    if (reply) {
        reply(fd, stop_);
        return;
    }
    const std::string page = "<html><body><h1>404 Not Found</h1></body></html>";
    Send(fd, Head(404, "Content-Type: text/html\r\nContent-Length: " + std::to_string(page.size()) + "\r\n") + page);
}

QString ClosedLocalAddress()
{
    int port = 0;
    const int fd = ListenOnFreeLocalPort(port);
    ::close(fd);  // the port was free a moment ago and nothing listens on it now
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}
