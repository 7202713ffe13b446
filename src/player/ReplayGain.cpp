#include "player/ReplayGain.h"

#include "settings/Settings.h"
#include "util/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tavu {
namespace {

std::optional<double> number(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data() || !std::isfinite(value))
        return std::nullopt;
    const std::string_view rest =
        trimmed(std::string_view(end, static_cast<std::size_t>(text.data() + text.size() - end)));
    if (!rest.empty() && !equalsNoCase(rest, "dB"))
        return std::nullopt;
    return value;
}

} // namespace

ReplayGainOptions readReplayGainOptions(const Settings& settings)
{
    ReplayGainOptions options;
    const std::string mode = toLower(trimmed(settings.read(keys::PlaybackReplayGain)));
    if (mode == "track")
        options.mode = ReplayGainOptions::Mode::Track;
    else if (mode == "album")
        options.mode = ReplayGainOptions::Mode::Album;
    else if (mode == "auto")
        options.mode = ReplayGainOptions::Mode::Auto;
    options.preampDb = std::clamp(number(settings.read(keys::PlaybackPreamp)).value_or(0.0), -15.0, 15.0);
    options.fallbackDb = std::clamp(number(settings.read(keys::PlaybackFallback)).value_or(0.0), -30.0, 15.0);
    return options;
}

std::optional<double> parseGainDb(std::string_view text)
{
    const auto value = number(text);
    // Nothing real is levelled by more than this; larger values are broken tags.
    if (!value || std::fabs(*value) > 60.0)
        return std::nullopt;
    return value;
}

std::optional<double> parsePeak(std::string_view text)
{
    const auto value = number(text);
    if (!value || *value <= 0.0 || *value > 100.0 || toLower(text).find("db") != std::string::npos)
        return std::nullopt;
    return value;
}

std::optional<double> opusR128GainDb(std::string_view text)
{
    text = trimmed(text);
    int q78 = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), q78);
    if (error != std::errc() || end != text.data() + text.size() || q78 < -32768 || q78 > 32767)
        return std::nullopt;
    return q78 / 256.0 + 5.0; // -23 LUFS to -18 LUFS
}

float gainFactor(const ReplayGainOptions& options, const LoudnessTags& tags, bool sameAlbum,
                 const std::optional<MeasuredLoudness>& measured)
{
    using Mode = ReplayGainOptions::Mode;
    if (options.mode == Mode::Off)
        return 1.0f;
    const bool album = options.mode == Mode::Album || (options.mode == Mode::Auto && sameAlbum);
    std::optional<double> gain = album ? tags.albumGain : tags.trackGain;
    std::optional<double> peak = album ? tags.albumPeak : tags.trackPeak;
    if (!gain) {
        gain = album ? tags.trackGain : tags.albumGain;
        peak = album ? tags.trackPeak : tags.albumPeak;
    }
    if (!gain && measured) {
        gain = measured->gainDb;
        peak = measured->peak;
    }
    if (!gain) {
        gain = options.fallbackDb;
        peak = std::nullopt;
    }
    double factor = std::pow(10.0, (*gain + options.preampDb) / 20.0);
    if (peak && *peak > 0.0)
        factor = std::min(factor, 1.0 / *peak);
    return static_cast<float>(factor);
}

} // namespace tavu
