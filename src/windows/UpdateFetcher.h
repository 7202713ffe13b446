#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

namespace tavu {

// Fetches one page without blocking: the event loop runs on while the page comes, and a page that
// has not come within the time-out counts as a failure. Only the beginning of a long page is kept.
class UpdateFetcher : public QObject {
public:
    struct Result {
        bool ok = false;
        bool timedOut = false;
        QByteArray page;
        QString error; // why it failed, for the user
    };

    static constexpr std::chrono::milliseconds kDefaultTimeout{15000};
    static constexpr qsizetype kMaxPageBytes = 1 << 20;

    explicit UpdateFetcher(QObject* parent = nullptr);
    ~UpdateFetcher() override;

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // Starts fetching the page; done runs once, later, from the event loop, unless this object
    // goes first. A fetch still under way is given up.
    void fetch(const QUrl& url, std::function<void(const Result&)> done);

private:
    void readSome();
    void replyFinished();
    void finish(Result result);
    void dropReply();

    QNetworkAccessManager* m_manager;
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    QByteArray m_page;
    std::function<void(const Result&)> m_done;
    std::chrono::milliseconds m_timeout = kDefaultTimeout;
};

} // namespace tavu
