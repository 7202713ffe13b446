#pragma once

#include "player/LoudnessStore.h"

#include <optional>
#include <string>

namespace tavu {

class Settings;

// The loudness data of one song, in decibels relative to the ReplayGain reference (-18 LUFS), and
// its peaks as amplitudes (1.0 is full scale).
struct LoudnessTags {
    std::optional<double> trackGain, trackPeak, albumGain, albumPeak;
    std::string album; // the album's name, for telling whether consecutive songs share it
};

// How songs are levelled before the owner's volume (section "Playback").
struct ReplayGainOptions {
    enum class Mode { Off, Track, Album, Auto };
    Mode mode = Mode::Off;
    double preampDb = 0.0;   // added to every song's gain, -15 to +15
    double fallbackDb = 0.0; // the gain of a song without loudness data
    bool operator==(const ReplayGainOptions&) const = default;
};

// A missing key keeps the file's own level: "ReplayGain" off, no pre-amplification, no fallback.
ReplayGainOptions readReplayGainOptions(const Settings& settings);

// Reads a gain value such as "-6.54 dB" or "+2 dB"; none for anything else.
std::optional<double> parseGainDb(std::string_view text);
// Reads a peak value such as "0.988312"; none for anything but a positive number.
std::optional<double> parsePeak(std::string_view text);
// An Opus R128 gain (decibels * 256 relative to -23 LUFS) in decibels relative to the ReplayGain
// reference.
std::optional<double> opusR128GainDb(std::string_view text);

// Whether a song's tags give a gain of their own (a song without one is worth measuring).
inline bool hasGainTags(const LoudnessTags& tags)
{
    return tags.trackGain || tags.albumGain;
}

// The amplitude factor for a song. Under "auto" the album's gain applies while the song comes from
// the same album as the song before it (sameAlbum), else the track's; a missing gain falls back to
// the other kind, then to the measured loudness (as a track gain), then to the fallback. A known
// peak caps the factor so that the loudest sample stays at full scale.
float gainFactor(const ReplayGainOptions& options, const LoudnessTags& tags, bool sameAlbum,
                 const std::optional<MeasuredLoudness>& measured = {});

} // namespace tavu
