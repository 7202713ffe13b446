#pragma once

#include "util/Runtime.h"
#include "windows/UpdateFetcher.h"

#include <QWidget>

#include <chrono>

class QPlainTextEdit;

namespace tavu {

class Bot;
class SkinButton;

// frmUpdates, "Tavu Update Checker": a borderless, always-on-top window that checks once, shortly
// after it opens, whether the update page announces an update, shows the announcement, and offers
// to download it. The page is fetched without blocking the program, and a page that cannot be had
// in time shows that no update information was found. Exit destroys the window; opening it again
// checks again.
class UpdateWindow : public QWidget {
public:
    explicit UpdateWindow(Bot& bot, QWidget* parent = nullptr);
    ~UpdateWindow() override;

    // How long the page may take before the check gives up.
    void setFetchTimeout(std::chrono::milliseconds timeout);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Task<> clockTick();
    Task<> pageFetched(UpdateFetcher::Result result);
    void offerDownload();
    void showText(const std::string& text);

    Bot& m_bot;
    QPlainTextEdit* Text1;
    SkinButton* Exit;
    UpdateFetcher* m_fetcher;
    Timer clockTimer;
    bool m_checkStarted = false;
    bool m_offerDownload = false;
    TaskScope m_tasks; // last: its tasks go before anything they use
};

} // namespace tavu
