#include "bot/Bot.h"

#include "util/Text.h"

namespace tavu {

// The title scroller shows the title of the song that plays. A new scroll starts only when the last
// one has ended (the scroller ignores the call while it is busy).
Task<> Bot::scrollTitleTick()
{
    if (scrollTitle)
        scrollTitle(m_nowPlaying.title);
    co_await secondsPass(m_runtime, 1);
}

// The clock and the progress bar. The bar counts whole seconds without the old 16-bit limit, so
// songs longer than nine hours do not wrap it.
void Bot::clockTick()
{
    const auto seconds = [](double value) {
        const double rounded = roundHalfEven(value);
        return rounded > 2e9 ? 2000000000 : rounded < 0 ? 0 : static_cast<int>(rounded);
    };
    progress.setMax(seconds(media().duration()));
    progress.setValue(seconds(media().currentPosition()));
    const int t = seconds(media().currentPosition());
    const int m = t / 60;
    int s = t - 60 * m;
    if (s == -1)
        s = 0;
    txtTime.setCaption(decimal(m) + ":" + (paddedClock && s < 10 ? "0" : "") + decimal(s));
    if (progress.value() == progress.max()) {
        titleTimer.setEnabled(false);
        txtTime.setCaption("00:00");
        progress.setValue(0);
    }
}

// After a random song the dispatcher is deaf for two seconds.
Task<> Bot::deafSpellEnds()
{
    commandScanner.stopScan();
    co_await secondsPass(m_runtime, 2);
    commandScanner.startScan();
    deafSpell.setEnabled(false);
}

} // namespace tavu
