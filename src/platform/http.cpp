#include "platform/http.h"

#include <QList>

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>

namespace {
using Clock = std::chrono::steady_clock;

constexpr int kDefaultConnectMs = 10000;
constexpr int kDefaultStallMs = 30000;
int connectMs = kDefaultConnectMs;
int stallMs = kDefaultStallMs;

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}
}  // namespace

struct THttpRequest::Impl {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    bool added = false;
    char errbuf[CURL_ERROR_SIZE] = {};

    // Reply headers of the block being read; a 1xx block is followed by another.
    int blockStatus = -1;
    std::optional<qint64> length;
    bool chunked = false;
    bool headersDone = false;

    QByteArray body;
    qint64 pos = 0;
    bool finished = false;
    CURLcode result = CURLE_OK;
    Clock::time_point lastActivity = Clock::now();

    qint64 Available() const { return body.size() - pos; }

    QString CurlError(CURLcode code) const
    {
        if (errbuf[0])
            return QString::fromUtf8(errbuf).trimmed();
        return QString::fromUtf8(curl_easy_strerror(code));
    }

    static size_t OnHeader(char* data, size_t size, size_t count, void* user)
    {
        auto* d = static_cast<Impl*>(user);
        const size_t n = size * count;
        d->lastActivity = Clock::now();
        if (d->headersDone)  // trailers of a chunked body
            return n;
        const QByteArray line = QByteArray(data, qsizetype(n)).trimmed();
        if (line.startsWith("HTTP/")) {
            const QList<QByteArray> parts = line.split(' ');
            bool ok = false;
            const int code = parts.size() > 1 ? parts[1].toInt(&ok) : 0;
            d->blockStatus = ok ? code : -1;
            d->length.reset();
            d->chunked = false;
        } else if (line.isEmpty()) {
            if (d->blockStatus >= 200)
                d->headersDone = true;
        } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-length") {
                bool ok = false;
                const qint64 v = value.toLongLong(&ok);
                if (ok && v >= 0)
                    d->length = v;
            } else if (name == "transfer-encoding" && value.toLower().contains("chunked")) {
                d->chunked = true;
            }
        }
        return n;
    }

    static size_t OnData(char* data, size_t size, size_t count, void* user)
    {
        auto* d = static_cast<Impl*>(user);
        const size_t n = size * count;
        d->lastActivity = Clock::now();
        d->body.append(data, qsizetype(n));
        return n;
    }

    ~Impl()
    {
        if (added)
            curl_multi_remove_handle(multi, easy);
        if (easy)
            curl_easy_cleanup(easy);
        if (multi)
            curl_multi_cleanup(multi);
        curl_slist_free_all(headers);
    }
};

THttpRequest::THttpRequest() = default;

THttpRequest::~THttpRequest() { Close(); }

void THttpRequest::SetTimeoutsForTests(int connect, int stall)
{
    connectMs = connect;
    stallMs = stall;
}

void THttpRequest::ResetTimeouts()
{
    connectMs = kDefaultConnectMs;
    stallMs = kDefaultStallMs;
}

void THttpRequest::Close() { d_.reset(); }

void THttpRequest::Fail(const QString& message)
{
    failed_ = true;
    error_ = message;
    if (d_ && d_->added) {
        curl_multi_remove_handle(d_->multi, d_->easy);
        d_->added = false;
    }
    if (d_)
        d_->finished = true;
}

bool THttpRequest::Open(const QString& url)
{
    Close();
    status_ = -1;
    contentLength_.reset();
    failed_ = false;
    timedOut_ = false;
    cancelled_ = false;
    error_.clear();

    GlobalInit();
    d_ = std::make_unique<Impl>();
    d_->multi = curl_multi_init();
    d_->easy = curl_easy_init();
    if (!d_->multi || !d_->easy) {
        Fail(QStringLiteral("The HTTP library could not be initialised"));
        return false;
    }
    d_->headers = curl_slist_append(d_->headers, "Cache-Control: no-cache");
    d_->headers = curl_slist_append(d_->headers, "Pragma: no-cache");

    CURL* e = d_->easy;
    const QByteArray address = url.toUtf8();
    curl_easy_setopt(e, CURLOPT_URL, address.constData());  // libcurl copies strings
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_USERAGENT, "Quarnel");
    curl_easy_setopt(e, CURLOPT_PROXY, "");
    curl_easy_setopt(e, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, d_->headers);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, long(connectMs));
    if (limitMs_ > 0)
        curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, long(limitMs_));
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, d_->errbuf);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, d_.get());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Impl::OnData);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, d_.get());

    if (curl_multi_add_handle(d_->multi, e) != CURLM_OK) {
        Fail(QStringLiteral("The HTTP request could not be started"));
        return false;
    }
    d_->added = true;
    d_->lastActivity = Clock::now();

    Pump([this] { return d_->headersDone; });
    if (failed_)
        return false;
    if (!d_->headersDone) {
        timedOut_ = d_->result == CURLE_OPERATION_TIMEDOUT;
        Fail(d_->result != CURLE_OK ? d_->CurlError(d_->result) : QStringLiteral("No reply from the server"));
        return false;
    }
    status_ = d_->blockStatus;
    if (!d_->chunked)
        contentLength_ = d_->length;
    return true;
}

void THttpRequest::Pump(const std::function<bool()>& done)
{
    while (!failed_ && !d_->finished && !done()) {
        int running = 0;
        const CURLMcode mc = curl_multi_perform(d_->multi, &running);
        if (mc != CURLM_OK) {
            Fail(QString::fromUtf8(curl_multi_strerror(mc)));
            return;
        }
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(d_->multi, &left)) {
            if (msg->msg == CURLMSG_DONE) {
                d_->finished = true;
                d_->result = msg->data.result;
            }
        }
        if (d_->finished || done())
            return;
        // Measured from the last byte received, so a slow but moving transfer
        // goes on while a silent one ends.
        const int stall = stallLimitMs_ > 0 ? std::min(stallMs, stallLimitMs_) : stallMs;
        const auto silent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - d_->lastActivity);
        if (silent.count() >= stall) {
            timedOut_ = true;
            Fail(QStringLiteral("Timed out: no data from the server for %1 ms").arg(silent.count()));
            return;
        }
        if (waitHook_ && !waitHook_()) {
            cancelled_ = true;
            Fail(QStringLiteral("Cancelled"));
            return;
        }
        long wait = -1;
        curl_multi_timeout(d_->multi, &wait);
        const long cap = std::min<long>(waitHook_ ? 50 : 100, stall - silent.count());
        wait = wait < 0 ? cap : std::min(wait, cap);
        curl_multi_poll(d_->multi, nullptr, 0, int(std::max(wait, 1L)), nullptr);
    }
}

qint64 THttpRequest::Read(char* buf, qint64 max)
{
    if (!d_)
        return -1;
    if (max <= 0)
        return 0;
    if (d_->Available() == 0 && !failed_) {
        Pump([this] { return d_->Available() > 0; });
    }
    if (const qint64 n = std::min(max, d_->Available()); n > 0) {
        std::memcpy(buf, d_->body.constData() + d_->pos, size_t(n));
        d_->pos += n;
        if (d_->pos == d_->body.size()) {
            d_->body.clear();
            d_->pos = 0;
        }
        return n;
    }
    if (failed_)
        return -1;
    if (d_->finished && d_->result == CURLE_OK)
        return 0;
    timedOut_ = d_->result == CURLE_OPERATION_TIMEDOUT;
    Fail(d_->CurlError(d_->result));
    return -1;
}
