#include "platform/http.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// A one-connection-at-a-time HTTP server on 127.0.0.1 whose replies the test writes by hand.
class TestServer {
public:
    using Reply = std::function<void(TestServer& server, int fd)>;

    explicit TestServer(Reply reply) : reply_(std::move(reply))
    {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int yes = 1;
        ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listen_, 8) != 0)
            ADD_FAILURE() << "test server cannot listen";
        socklen_t len = sizeof a;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Run(); });
    }

    ~TestServer()
    {
        stop_ = true;
        thread_.join();
        ::close(listen_);
    }

    QString Url(const char* path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QLatin1String(path)); }
    bool Stopping() const { return stop_; }

    std::vector<std::string> Requests()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // Waits while the test lets the server go on; false when it waited in vain.
    bool WaitForGate(int ms)
    {
        for (int waited = 0; !gate_ && !stop_ && waited < ms; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return gate_;
    }
    void OpenGate() { gate_ = true; }

    // Holds the connection open and silent until the server is stopped.
    void StaySilent()
    {
        while (!stop_)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    static void Send(int fd, const std::string& data) { ::send(fd, data.data(), data.size(), MSG_NOSIGNAL); }

private:
    void Run()
    {
        while (!stop_) {
            pollfd p{listen_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const int fd = ::accept(listen_, nullptr, nullptr);
            if (fd < 0)
                continue;
            std::string request;
            char buf[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                pollfd c{fd, POLLIN, 0};
                if (::poll(&c, 1, 5000) <= 0)
                    break;
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n <= 0)
                    break;
                request.append(buf, size_t(n));
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            reply_(*this, fd);
            ::close(fd);
        }
    }

    Reply reply_;
    int listen_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> gate_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

std::string Pattern(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char((i * 7) % 251);  // zero bytes included
    return s;
}

std::string Head(int status, const std::string& headers)
{
    return "HTTP/1.1 " + std::to_string(status) + " X\r\n" + headers + "Connection: close\r\n\r\n";
}

// Reads the body in the caller's 1024-byte blocks until Read gives 0 or -1.
struct Drained {
    std::string body;
    std::vector<qint64> reads;
};
Drained Drain(THttpRequest& r)
{
    Drained d;
    char buf[1024];
    for (int guard = 0; guard < 100000; ++guard) {
        const qint64 n = r.Read(buf, sizeof buf);
        d.reads.push_back(n);
        if (n <= 0)
            break;
        d.body.append(buf, size_t(n));
    }
    return d;
}

class HttpTest : public ::testing::Test {
protected:
    void TearDown() override { THttpRequest::ResetTimeouts(); }
};

TEST_F(HttpTest, SendsAgentAndNoCacheHeadersDirectlyAndReadsTheBodyInBlocks)
{
    const std::string body = Pattern(3000);
    TestServer server([&](TestServer&, int fd) {
        TestServer::Send(fd, Head(200, "Content-Length: 3000\r\n") + body);
    });
    // A proxy named by the environment must not be used.
    const QByteArray oldProxy = qgetenv("http_proxy");
    qputenv("http_proxy", "http://127.0.0.1:1");

    THttpRequest r;
    ASSERT_TRUE(r.Open(server.Url("/VORNASOFT3/Orlendix.txt"))) << r.Error().toStdString();
    qputenv("http_proxy", oldProxy);
    EXPECT_EQ(r.Status(), 200);
    ASSERT_TRUE(r.ContentLength().has_value());
    EXPECT_EQ(*r.ContentLength(), 3000);

    const Drained d = Drain(r);
    EXPECT_EQ(d.body, body);
    EXPECT_EQ(d.reads.back(), 0);
    for (qint64 n : d.reads)
        EXPECT_LE(n, 1024);
    EXPECT_FALSE(r.Failed());

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& q = requests[0];
    EXPECT_EQ(q.rfind("GET /VORNASOFT3/Orlendix.txt HTTP/1.1\r\n", 0), 0u) << q;
    EXPECT_NE(q.find("\r\nUser-Agent: Quarnel\r\n"), std::string::npos) << q;
    EXPECT_NE(q.find("\r\nCache-Control: no-cache\r\n"), std::string::npos) << q;
    EXPECT_NE(q.find("\r\nPragma: no-cache\r\n"), std::string::npos) << q;
}

TEST_F(HttpTest, HandsOutTheFirstBlockBeforeTheRestOfTheBodyArrives)
{
    const std::string body = Pattern(4096);
    std::atomic<bool> gateOpened{false};
    TestServer server([&](TestServer& s, int fd) {
        TestServer::Send(fd, Head(200, "Content-Length: 4096\r\n") + body.substr(0, 1024));
        gateOpened = s.WaitForGate(5000);
        TestServer::Send(fd, body.substr(1024));
    });
    THttpRequest r;
    ASSERT_TRUE(r.Open(server.Url("/VORNASOFT3/Orlendix")));
    char buf[1024];
    ASSERT_EQ(r.Read(buf, sizeof buf), 1024);
    EXPECT_EQ(std::string(buf, 1024), body.substr(0, 1024));
    server.OpenGate();
    const Drained rest = Drain(r);
    EXPECT_TRUE(gateOpened) << "the first block came only after the whole body";
    EXPECT_EQ(rest.body, body.substr(1024));
    EXPECT_EQ(rest.reads.back(), 0);
}

TEST_F(HttpTest, ReportsStatusAndLengthOfOtherReplies)
{
    // An error page with a length, a redirect (not followed), an empty body.
    int call = 0;
    TestServer server([&call](TestServer&, int fd) {
        switch (call++) {
        case 0: TestServer::Send(fd, Head(404, "Content-Length: 9\r\n") + "not found"); break;
        case 1: TestServer::Send(fd, Head(302, "Location: /elsewhere\r\nContent-Length: 0\r\n")); break;
        default: TestServer::Send(fd, Head(200, "Content-Length: 0\r\n")); break;
        }
    });

    THttpRequest notFound;
    ASSERT_TRUE(notFound.Open(server.Url("/VORNASOFT3/Orlendix.txt")));
    EXPECT_EQ(notFound.Status(), 404);
    EXPECT_EQ(notFound.ContentLength(), std::optional<qint64>(9));
    EXPECT_EQ(Drain(notFound).body, "not found");

    THttpRequest moved;
    ASSERT_TRUE(moved.Open(server.Url("/VORNASOFT3/Orlendix.txt")));
    EXPECT_EQ(moved.Status(), 302);
    EXPECT_EQ(Drain(moved).reads.back(), 0);

    THttpRequest empty;
    ASSERT_TRUE(empty.Open(server.Url("/VORNASOFT3/Orlendix.txt")));
    EXPECT_EQ(empty.Status(), 200);
    EXPECT_EQ(empty.ContentLength(), std::optional<qint64>(0));
    char buf[1024];
    EXPECT_EQ(empty.Read(buf, sizeof buf), 0);

    EXPECT_EQ(server.Requests().size(), 3u);  // the redirect was not followed
}

TEST_F(HttpTest, ChunkedReplyHasNoContentLength)
{
    TestServer server([](TestServer&, int fd) {
        // Content-Length next to chunked encoding is meaningless and must not count.
        TestServer::Send(fd, Head(200, "Transfer-Encoding: chunked\r\nContent-Length: 5\r\n") +
                                 "3\r\n368\r\n2\r\n11\r\n0\r\n\r\n");
    });
    THttpRequest r;
    ASSERT_TRUE(r.Open(server.Url("/VORNASOFT3/Orlendix.txt")));
    EXPECT_EQ(r.Status(), 200);
    EXPECT_FALSE(r.ContentLength().has_value());
    EXPECT_EQ(Drain(r).body, "36811");
}

TEST_F(HttpTest, BodyShorterThanItsLengthEndsInAFailedRead)
{
    const std::string body = Pattern(5000);
    TestServer server([&](TestServer&, int fd) {
        TestServer::Send(fd, Head(200, "Content-Length: 5000\r\n") + body.substr(0, 2000));
    });
    THttpRequest r;
    ASSERT_TRUE(r.Open(server.Url("/VORNASOFT3/Orlendix")));
    EXPECT_EQ(r.ContentLength(), std::optional<qint64>(5000));
    const Drained d = Drain(r);
    EXPECT_EQ(d.body, body.substr(0, 2000));  // what arrived is handed out first
    EXPECT_EQ(d.reads.back(), -1);
    EXPECT_TRUE(r.Failed());
    EXPECT_FALSE(r.Error().isEmpty());
    char buf[16];
    EXPECT_EQ(r.Read(buf, sizeof buf), -1);  // and stays failed
}

TEST_F(HttpTest, StalledServerTimesOutButASlowSteadyOneDoesNot)
{
    THttpRequest::SetTimeoutsForTests(1000, 700);

    {   // accepts, never answers
        TestServer server([](TestServer& s, int) { s.StaySilent(); });
        QElapsedTimer t;
        t.start();
        THttpRequest r;
        EXPECT_FALSE(r.Open(server.Url("/VORNASOFT3/Orlendix.txt")));
        EXPECT_LT(t.elapsed(), 3000);
        EXPECT_GE(t.elapsed(), 650);
        EXPECT_EQ(r.Status(), -1);
        EXPECT_FALSE(r.ContentLength().has_value());
        EXPECT_TRUE(r.Failed());
        EXPECT_TRUE(r.TimedOut());
        EXPECT_FALSE(r.Error().isEmpty());
        char buf[16];
        EXPECT_EQ(r.Read(buf, sizeof buf), -1);
    }
    {   // goes silent in the middle of the body
        TestServer server([](TestServer& s, int fd) {
            TestServer::Send(fd, Head(200, "Content-Length: 100000\r\n") + Pattern(3000));
            s.StaySilent();
        });
        THttpRequest r;
        ASSERT_TRUE(r.Open(server.Url("/VORNASOFT3/Orlendix")));
        QElapsedTimer t;
        t.start();
        const Drained d = Drain(r);
        EXPECT_LT(t.elapsed(), 3000);
        EXPECT_EQ(d.body.size(), 3000u);
        EXPECT_EQ(d.reads.back(), -1);
        EXPECT_TRUE(r.Failed());
    }
    {   // a byte every 100 ms for well over the stall time in total
        TestServer server([](TestServer&, int fd) {
            TestServer::Send(fd, Head(200, "Content-Length: 10\r\n"));
            for (int i = 0; i < 10; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                TestServer::Send(fd, "x");
            }
        });
        THttpRequest r;
        ASSERT_TRUE(r.Open(server.Url("/VORNASOFT3/Orlendix")));
        const Drained d = Drain(r);
        EXPECT_EQ(d.body, std::string(10, 'x'));
        EXPECT_EQ(d.reads.back(), 0);
        EXPECT_FALSE(r.Failed()) << r.Error().toStdString();
    }
}

TEST_F(HttpTest, ARequestsOwnStallAndTimeLimitsEndItSooner)
{
    {   // headers, then silence: the default stall time is far off
        TestServer server([](TestServer& s, int fd) {
            TestServer::Send(fd, Head(200, "Content-Length: 100\r\n") + "abc");
            s.StaySilent();
        });
        THttpRequest r;
        r.SetStallLimit(300);
        ASSERT_TRUE(r.Open(server.Url("/VORNASOFT3/Orlendix")));
        QElapsedTimer t;
        t.start();
        const Drained d = Drain(r);
        EXPECT_LT(t.elapsed(), 2000);
        EXPECT_EQ(d.body, "abc");
        EXPECT_EQ(d.reads.back(), -1);
        EXPECT_TRUE(r.TimedOut());
    }
    {   // a byte every 50 ms never stalls, but the whole request has its limit
        TestServer server([](TestServer& s, int fd) {
            TestServer::Send(fd, Head(200, "Content-Length: 100\r\n"));
            for (int i = 0; i < 100 && !s.Stopping(); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                TestServer::Send(fd, "x");
            }
        });
        QElapsedTimer t;
        t.start();
        THttpRequest r;
        r.SetTimeLimit(600);
        ASSERT_TRUE(r.Open(server.Url("/VORNASOFT3/Orlendix")));
        const Drained d = Drain(r);
        EXPECT_LT(t.elapsed(), 2000);
        EXPECT_LT(d.body.size(), 100u);
        EXPECT_EQ(d.reads.back(), -1);
        EXPECT_TRUE(r.TimedOut());
    }
}

TEST_F(HttpTest, TheWaitHookRunsWhileTheServerIsSilentAndEndsTheTransferAtOnce)
{
    {   // waiting for headers that never come
        TestServer server([](TestServer& s, int) { s.StaySilent(); });
        THttpRequest r;
        int calls = 0;
        QElapsedTimer t;
        t.start();
        r.SetWaitHook([&] { return ++calls < 10; });
        EXPECT_FALSE(r.Open(server.Url("/VORNASOFT3/Orlendix.txt")));
        EXPECT_LT(t.elapsed(), 1500);  // ten calls, each at most 50 ms apart
        EXPECT_EQ(calls, 10);
        EXPECT_TRUE(r.Cancelled());
        EXPECT_FALSE(r.TimedOut());
        EXPECT_EQ(r.Status(), -1);
    }
    {   // half a body, then silence: Read hands out what came, then fails
        TestServer server([](TestServer& s, int fd) {
            TestServer::Send(fd, Head(200, "Content-Length: 100\r\n") + "abc");
            s.StaySilent();
        });
        THttpRequest r;
        bool stop = false;
        r.SetWaitHook([&] { return !stop; });
        ASSERT_TRUE(r.Open(server.Url("/VORNASOFT3/Orlendix")));
        char buf[16];
        qint64 got = 0;
        while (got < 3) {
            const qint64 n = r.Read(buf + got, sizeof buf - size_t(got));
            ASSERT_GT(n, 0);
            got += n;
        }
        stop = true;
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(r.Read(buf, sizeof buf), -1);
        EXPECT_LT(t.elapsed(), 500);
        EXPECT_TRUE(r.Cancelled());
        EXPECT_FALSE(r.TimedOut());
    }
}

TEST_F(HttpTest, RefusedConnectionHasNoReply)
{
    // A port that was just free: nothing listens there.
    int port = 0;
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        socklen_t len = sizeof a;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
        ::close(fd);
    }
    THttpRequest r;
    EXPECT_FALSE(r.Open(QStringLiteral("http://127.0.0.1:%1/VORNASOFT3/Orlendix.txt").arg(port)));
    EXPECT_EQ(r.Status(), -1);
    EXPECT_FALSE(r.ContentLength().has_value());
    EXPECT_TRUE(r.Failed());
    EXPECT_FALSE(r.TimedOut());
    EXPECT_FALSE(r.Error().isEmpty());
    char buf[16];
    EXPECT_EQ(r.Read(buf, sizeof buf), -1);

    THttpRequest never;
    EXPECT_EQ(never.Read(buf, sizeof buf), -1);  // not opened
}

}  // namespace
