#pragma once

#include "player/MediaPlayer.h"
#include "util/Platform.h"

#include <deque>
#include <string>
#include <vector>

namespace tavu::test {

// A media player that plays nothing but keeps the state a real one would: files that exist open,
// others do not; a song lasts `length` seconds and its position moves only when the test says so.
class FakeMediaPlayer : public MediaPlayer {
public:
    bool open(const std::string& path) override;
    void play() override;
    void pause() override;
    void stop() override;
    bool seek(double seconds) override;
    void setVolume(int v) override { volume = v; }
    void setBalance(int b) override { balance = b; }
    void setMute(bool m) override { muted = m; }
    double duration() const override { return state == Stopped && openPath.empty() ? 0.0 : length; }
    double currentPosition() const override { return position; }
    int playState() const override { return state; }
    void setFollowing(const std::string& path) override { following.push_back(path); }

    // The song plays to its end: the player raises endOfStream (inside around, when set: the
    // bot's fixture lets the waits it starts pass there).
    void finish();
    std::function<void(const std::function<void()>& event)> around;

    std::vector<std::string> opened;    // every path given to Open
    std::vector<std::string> following; // every path given to setFollowing
    std::string openPath;
    State state = Stopped;
    double length = 180.0;
    double position = 0.0;
    int volume = 0;
    int balance = 0;
    bool muted = false;
    bool openEverything = false; // open paths that do not exist too
};

class FakeSoundPlayer : public SoundPlayer {
public:
    void playWave(const std::string& path) override { played.push_back(path); }
    std::vector<std::string> played;
};

// Answers the boxes as the test said beforehand, and records them.
class FakeDialogs : public Dialogs {
public:
    void message(const std::string& text, const std::string& title) override;
    bool question(const std::string& text, const std::string& title) override;
    std::optional<std::string> input(const std::string& prompt, const std::string& title,
                                     const std::string& defaultAnswer) override;

    struct Shown {
        std::string kind, text, title;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;                      // next question answers (default: No)
    std::deque<std::optional<std::string>> inputs; // next input answers (default: the default answer)
};

class FakeFontList : public FontList {
public:
    std::vector<std::string> families() const override { return fonts; }
    std::vector<std::string> fonts{"Arial", "Arial Narrow", "Tahoma", "Webdings", "Wingdings", "DejaVu Sans"};
};

} // namespace tavu::test
