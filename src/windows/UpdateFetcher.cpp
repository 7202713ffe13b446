#include "windows/UpdateFetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tavu {

UpdateFetcher::UpdateFetcher(QObject* parent) : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        finish({false, true, {}, QStringLiteral("The update page did not answer in time.")});
    });
}

UpdateFetcher::~UpdateFetcher()
{
    dropReply();
}

void UpdateFetcher::fetch(const QUrl& url, std::function<void(const Result&)> done)
{
    dropReply();
    m_page.clear();
    m_done = std::move(done);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tavu/" TAVU_VERSION));
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, [this] { readSome(); });
    connect(m_reply, &QNetworkReply::finished, this, [this] { replyFinished(); });
    m_deadline.start(m_timeout);
}

void UpdateFetcher::readSome()
{
    m_page += m_reply->read(kMaxPageBytes - m_page.size());
    // The announcement is at the start of the page; the rest of a very long page is not needed.
    if (m_page.size() >= kMaxPageBytes)
        finish({true, false, m_page, {}});
}

void UpdateFetcher::replyFinished()
{
    if (m_reply->error() != QNetworkReply::NoError) {
        finish(
            {false, false, {}, QStringLiteral("The update page could not be fetched: %1").arg(m_reply->errorString())});
        return;
    }
    readSome();
    if (m_reply)
        finish({true, false, m_page, {}});
}

// The caller hears of the result from the event loop, not from inside the network code.
void UpdateFetcher::finish(Result result)
{
    dropReply();
    auto done = std::exchange(m_done, nullptr);
    if (done)
        QMetaObject::invokeMethod(
            this, [done = std::move(done), result = std::move(result)] { done(result); }, Qt::QueuedConnection);
}

void UpdateFetcher::dropReply()
{
    m_deadline.stop();
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

} // namespace tavu
