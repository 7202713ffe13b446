#include "client/IrcCaseMapping.h"
#include "client/IrcFormatting.h"
#include "client/IrcLineBuffer.h"
#include "client/IrcLineSplitter.h"
#include "client/IrcMessage.h"
#include "client/OwnerMask.h"
#include "style/Style.h"

#include <benchmark/benchmark.h>

namespace {

std::string defaultReply(const std::string& body)
{
    tavu::Style style;
    style.loadStyle("/nonexistent/Tavu.ini");
    return style.composeReply(" Tavu ", body);
}

// One line from the server as the IRC room reads it: cut from the stream, parsed, and the sender
// checked against the owner mask.
void BM_IrcIncomingLine(benchmark::State& state)
{
    tavu::IrcLineBuffer buffer;
    const auto mask = *tavu::OwnerMask::parse("boss!~boss@*.home.example");
    const tavu::IrcCaseMapping mapping;
    const std::string bytes = "@account=boss;time=2026-12-07T12:00:00.000Z :boss!~boss@pc.home.example PRIVMSG "
                              "#tavu :!play some song title\r\n";
    for (auto _ : state) {
        for (const std::string& line : buffer.feed(bytes)) {
            const auto message = tavu::IrcMessage::parse(line);
            benchmark::DoNotOptimize(mask.matches(message->nick, message->user, message->host, std::nullopt, mapping));
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IrcIncomingLine);

// A reply line turned into IRC formatting and cut to fit the server.
void BM_IrcOutgoingReply(benchmark::State& state)
{
    const std::string reply = defaultReply(" Mp3 length: <u>4:05</U> ");
    for (auto _ : state)
        benchmark::DoNotOptimize(tavu::splitIrcText(tavu::htmlToIrc(reply), 400));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IrcOutgoingReply);

// A long listing line (about 2 KB) that must be cut into several.
void BM_IrcOutgoingLongReply(benchmark::State& state)
{
    std::string body;
    for (int i = 1; i <= 60; ++i)
        body += " " + std::to_string(i) + ". Ünïcödé Song Title Number " + std::to_string(i);
    const std::string reply = defaultReply(body);
    for (auto _ : state)
        benchmark::DoNotOptimize(tavu::splitIrcText(tavu::htmlToIrc(reply), 450));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(reply.size()));
}
BENCHMARK(BM_IrcOutgoingLongReply);

} // namespace
