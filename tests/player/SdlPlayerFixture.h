#pragma once

#include "platform/SdlAudio.h"
#include "platform/SdlMediaPlayer.h"
#include "platform/SdlSoundPlayer.h"
#include "support/Mp3Writer.h"
#include "support/PumpedQtRuntime.h"
#include "support/SimRuntime.h"
#include "support/TestDir.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace tavu::test {

// Handles events until `done` holds or `ms` have passed; gives the final `done`.
inline bool waitUntil(test::PumpedQtRuntime& runtime, const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        runtime.runFor(5);
    return done();
}

// The interface sounds the build generates.
inline std::string builtSound(const std::string& name)
{
    return std::string(TAVU_BUILD_SOUNDS) + "/" + name;
}

// A player on the driver the test main chose, in a fresh directory; counts its endOfStream events.
class SdlPlayerFixture : public ::testing::Test {
protected:
    SdlPlayerFixture()
    {
        player.endOfStream = [this] { ++ends; };
    }

    // Writes a tone MP3 of about `seconds` into the test directory.
    std::string toneSong(const std::string& name, double seconds)
    {
        const std::string path = dir.file(name);
        Mp3Writer().tone(Mp3Writer::framesFor(seconds)).write(path);
        return path;
    }

    bool waitForEnd(int count = 1, int ms = 4000)
    {
        return waitUntil(
            runtime, [&] { return ends >= count; }, ms);
    }

    TestDir dir;
    test::PumpedQtRuntime runtime;
    SimRuntime checks; // drives the silence checks, which then need no real waiting
    SdlAudio audio;
    SdlMediaPlayer player{audio, runtime};
    int ends = 0;
};

} // namespace tavu::test
