#include "chat/SongSearch.h"

#include "bot/Bot.h"
#include "bot/MusicLibrary.h"
#include "bot/StartSong.h"
#include "chat/PlayerCommands.h"
#include "client/ChatRoom.h"
#include "queue/QueueCommands.h"
#include "queue/UpNext.h"
#include "util/Text.h"
#include "util/Utf8.h"

namespace tavu {

std::string markedTitle(std::string_view song, std::string_view search, std::string_view inserted)
{
    // As replaceText finds the matches; the name's own text around the tags is escaped.
    const std::u32string name = decodeUtf8(toLower(song));
    const std::u32string lowered = toLower32(name);
    const std::u32string needle = toLower32(decodeUtf8(search));
    const std::string mark = "<u>" + htmlText(inserted) + "</U>";
    std::string title;
    std::size_t last = 0;
    for (std::size_t p = needle.empty() ? std::u32string::npos : lowered.find(needle); p != std::u32string::npos;
         p = lowered.find(needle, last)) {
        title += htmlText(encodeUtf8(std::u32string_view(name).substr(last, p - last)));
        title += mark;
        last = p + needle.size();
    }
    title += htmlText(encodeUtf8(std::u32string_view(name).substr(last)));
    replaceText(title, ".mp3", "");
    return title;
}

std::string shownName(const Bot& bot, const std::string& song, std::size_t hint)
{
    if (const auto title = bot.library.tagTitle(song, hint))
        return std::string(*title);
    return song;
}

namespace {

void closeDialogue(Bot& bot)
{
    ++bot.dialogueTurn; // a listing still running stops
    bot.commandScanner.startScan();
    bot.choiceScanner.stopScan();
}

// With tag titles a song is found by its title or its name, otherwise by its name.
bool matches(const Bot& bot, const std::string& song, std::size_t index, const std::string& needle)
{
    if (toLower(song).find(needle) != std::string::npos)
        return true;
    const auto title = bot.library.tagTitle(song, index);
    return title && toLower(*title).find(needle) != std::string::npos;
}

Task<> openDialogue(Bot& bot);

// Counts a running search. Answers typed meanwhile are held for the dialogue, which hears them
// as it opens; those for a dialogue that no search opened are dropped.
class SearchRun {
public:
    explicit SearchRun(Bot& bot) : m_bot(bot)
    {
        if (m_bot.searchesRunning++ == 0 && !m_bot.choiceScanner.scanning())
            m_bot.choiceScanner.holdLines(
                [&bot](const std::string& name, const std::string& line) { return isEarlyAnswer(bot, name, line); });
    }
    ~SearchRun()
    {
        if (--m_bot.searchesRunning == 0)
            m_bot.choiceScanner.dropHeldLines();
    }
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

private:
    Bot& m_bot;
};

// How often a long search lets the events that came meanwhile run (the clock, the chat, the media
// controls). Its waits do only in the second half of each second.
constexpr std::int64_t kEventSliceMs = 20;

Task<> search(Bot& bot, std::string text)
{
    const SearchRun run(bot);
    bot.UnLin.setCaption(text);
    bot.lstPlay.clear();
    const std::string needle = toLower(text);
    std::int64_t eventsAt = bot.runtime().tickMs();
    for (std::size_t i = 0; i < bot.songList.count(); ++i) {
        co_await secondsPass(bot.runtime(), 0);
        if (const std::int64_t now = bot.runtime().tickMs(); now - eventsAt >= kEventSliceMs) {
            co_await nextTurn(bot.runtime());
            eventsAt = bot.runtime().tickMs();
        }
        if (i >= bot.songList.count())
            break; // the list was rebuilt while events ran
        const std::string& song = bot.songList.item(i);
        if (matches(bot, song, i, needle)) {
            bot.songList.select(static_cast<int>(i));
            bot.lstPlay.addItem(song);
        }
    }
    if (bot.lstPlay.empty()) {
        bot.reply(" Mp3 string not found - <u>" + text + "</u> ");
        co_return;
    }
    if (bot.lstPlay.count() == 1) {
        // The search left the one match selected in the song list.
        bot.lstPlay.select(0);
        const std::string& song = bot.lstPlay.selectedText();
        const auto index = bot.songList.selectedIndex();
        startSong(bot, index, roads::SearchMatch,
                  markedTitle(shownName(bot, song, static_cast<std::size_t>(index)), text, toLower(text)));
        co_return;
    }
    co_await openDialogue(bot);
}

} // namespace

std::vector<std::size_t> matchingSongs(const Bot& bot, const std::string& text)
{
    const std::string needle = toLower(text);
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < bot.songList.count(); ++i)
        if (matches(bot, bot.songList.item(i), i, needle))
            found.push_back(i);
    return found;
}

void openSelection(Bot& bot, const std::string& text, std::vector<std::string> matches)
{
    bot.UnLin.setCaption(text);
    bot.lstPlay.setItems(std::move(matches));
    bot.startTask(openDialogue(bot));
}

namespace {

Task<> openDialogue(Bot& bot)
{
    bot.reply(" Multiple Strings Found! ");
    bot.choiceScanner.startScan(); // hears the answers typed during the search first
    co_await secondsPass(bot.runtime(), 1);
    bot.reply(" Scroll found Strings -[y\\n] ");
    // The owner may have closed the dialogue during the wait; stopping commandScanner then would leave no
    // scanner running, and the bot would never hear a command again.
    if (bot.choiceScanner.scanning())
        bot.commandScanner.stopScan();
}

// Lists the matches one a second. The answers of the owner are heard meanwhile: a closed dialogue,
// or a newer "y", ends this listing at once.
Task<> listMatches(Bot& bot)
{
    const unsigned turn = ++bot.dialogueTurn;
    const auto current = [&bot, turn] { return bot.dialogueTurn == turn && !bot.runtime().quitting(); };
    long long k = bot.lstPlay.selectedIndex() + 2;
    for (std::size_t i = 0; i < bot.lstPlay.count(); ++i) {
        co_await secondsPass(bot.runtime(), 1);
        if (!current())
            co_return;
        if (i >= bot.lstPlay.count())
            break;
        const std::string& entry = bot.lstPlay.item(i);
        bot.replyRaw(" [" + decimal(k) + "]" +
                     markedTitle(shownName(bot, entry), bot.UnLin.caption(), bot.UnLin.caption()) + " ");
        ++k;
    }
    co_await secondsPass(bot.runtime(), 1);
    if (!current())
        co_return;
    bot.reply(" Type play + 1 - " + decimal(static_cast<long long>(bot.lstPlay.count())) + " or cancel ");
}

// "play N" plays the chosen song at once; "add N" queues it.
Task<> choose(Bot& bot, std::string argument, bool toQueue = false)
{
    co_await secondsPass(bot.runtime(), 1);
    const auto number = parseDecimal(argument);
    const auto count = static_cast<double>(bot.lstPlay.count());
    if (!number || *number > count || *number < 1) {
        bot.reply(" Invalid number entry - Try Again or type cancel ");
        co_return;
    }
    const int index = static_cast<int>(roundHalfEven(*number - 1));
    bot.lstPlay.select(index);
    const std::string entry = bot.lstPlay.selectedText();
    const auto& songs = bot.songList.items();
    const auto at = std::find(songs.begin(), songs.end(), entry);
    if (at == songs.end())
        bot.reply(" Cannot play " + htmlText(songTitle(bot, entry)) + " "); // the song list was rebuilt meanwhile
    else if (toQueue)
        queueChosen(bot, static_cast<std::size_t>(at - songs.begin()));
    else
        startSong(bot, static_cast<int>(at - songs.begin()), roads::DialogueChoice,
                  markedTitle(shownName(bot, entry, static_cast<std::size_t>(at - songs.begin())), bot.UnLin.caption(),
                              bot.UnLin.caption()));
    closeDialogue(bot);
}

} // namespace

bool isEarlyAnswer(Bot& bot, const std::string& name, const std::string& line)
{
    const std::string owner = bot.room().ownerNick();
    if (owner.empty() || name != owner)
        return false;
    const Dispatcher::Cut cut = Dispatcher::cutLine(line);
    const bool answer =
        cut.word == "y" || cut.word == "n" || cut.word == "cancel" || (cut.word == "play" && utf8Length(line) > 5);
    if (!answer)
        return false;
    // With a trigger that makes the word a command (the empty trigger and "play"), it stays one.
    const std::string trig = toLower(bot.trig);
    if (cut.word.size() > trig.size() && cut.word.starts_with(trig) &&
        findCommand(bot.dispatcher().table(), std::string_view(cut.word).substr(trig.size())))
        return false;
    return true;
}

void hearChoiceLine(Bot& bot, const std::string& name, const std::string& line)
{
    const auto isOwner = [&] { return bot.dispatcher().isOwner(name); };
    if (!isOwner())
        return;
    const Dispatcher::Cut cut = Dispatcher::cutLine(line);
    if (cut.word == "y") {
        bot.startTask(listMatches(bot));
    } else if (cut.word == "n") {
        if (!isOwner())
            return;
        bot.reply(" Song selection canceled ");
        closeDialogue(bot);
    } else if (cut.word == "cancel") {
        if (!isOwner())
            return;
        bot.reply(" Selections canceled ");
        closeDialogue(bot);
    } else if (cut.word == "play") {
        if (isOwner() && utf8Length(line) > 5)
            bot.startTask(choose(bot, cut.argument));
    } else if (cut.word == "add" && bot.upNext->enabled()) {
        if (utf8Length(line) > 4)
            bot.startTask(choose(bot, cut.argument, true));
    }
}

void commands::play(Bot& bot, const std::string& text)
{
    bot.startTask(search(bot, text));
}

} // namespace tavu
