#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavu {

// The loudness of a song as measured from its samples: the gain that brings it to the ReplayGain
// reference (-18 LUFS) and its largest sample (1.0 is full scale).
struct MeasuredLoudness {
    double gainDb = 0.0;
    double peak = 1.0;
    bool operator==(const MeasuredLoudness&) const = default;
};

// The measurements kept between runs, by the song's full path. A song is known by its size, its
// modification time and its inode: a file changed since its measurement is measured again. A
// store that cannot be read or written behaves as an empty one.
class LoudnessStore {
public:
    struct Entry {
        std::int64_t size = 0;
        std::int64_t mtime = 0; // nanoseconds since the epoch
        std::int64_t inode = 0;
        // None for a file that was tried and holds nothing measurable (broken, silent, no song).
        std::optional<MeasuredLoudness> loudness;
        bool operator==(const Entry&) const = default;
    };

    virtual ~LoudnessStore() = default;

    virtual std::optional<Entry> loudness(const std::string& path) = 0;
    virtual void storeLoudness(const std::string& path, const Entry& entry) = 0;
};

} // namespace tavu
