#pragma once

#include "player/MediaPlayer.h"

#include <functional>

namespace tavu {

// The media player as the bot drives it: every call goes on to the player, and stateChanged runs
// after a call that changed the play state (playing, paused, stopped), whoever made it: a button, a
// chat command, the continuation or the desktop's media controls.
class WatchedMediaPlayer final : public MediaPlayer {
public:
    WatchedMediaPlayer(MediaPlayer& player, std::function<void()> stateChanged)
        : m_player(player), m_stateChanged(std::move(stateChanged)), m_state(player.playState())
    {
    }

    bool open(const std::string& path) override
    {
        const bool opened = m_player.open(path);
        check();
        return opened;
    }
    void play() override
    {
        m_player.play();
        check();
    }
    void pause() override
    {
        m_player.pause();
        check();
    }
    void stop() override
    {
        m_player.stop();
        check();
    }
    bool seek(double seconds) override { return m_player.seek(seconds); }
    void setVolume(int hundredthsOfDb) override { m_player.setVolume(hundredthsOfDb); }
    void setBalance(int balance) override { m_player.setBalance(balance); }
    void setMute(bool mute) override { m_player.setMute(mute); }
    double duration() const override { return m_player.duration(); }
    double currentPosition() const override { return m_player.currentPosition(); }
    int playState() const override { return m_player.playState(); }
    void setFollowing(const std::string& path) override { m_player.setFollowing(path); }
    AudioTapPoint* tapPoint() override { return m_player.tapPoint(); }

    // Looks at the state once more: the player changes it on its own at the end of a song.
    void check()
    {
        const int now = m_player.playState();
        if (now == m_state)
            return;
        m_state = now;
        if (m_stateChanged)
            m_stateChanged();
    }

private:
    MediaPlayer& m_player;
    std::function<void()> m_stateChanged;
    int m_state;
};

} // namespace tavu
