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
        : m_player(player), m_stateChanged(std::move(stateChanged)), m_state(player.PlayState())
    {
    }

    bool Open(const std::string& path) override
    {
        const bool opened = m_player.Open(path);
        check();
        return opened;
    }
    void Play() override
    {
        m_player.Play();
        check();
    }
    void Pause() override
    {
        m_player.Pause();
        check();
    }
    void Stop() override
    {
        m_player.Stop();
        check();
    }
    bool Seek(double seconds) override { return m_player.Seek(seconds); }
    void setVolume(int hundredthsOfDb) override { m_player.setVolume(hundredthsOfDb); }
    void setBalance(int balance) override { m_player.setBalance(balance); }
    void setMute(bool mute) override { m_player.setMute(mute); }
    double Duration() const override { return m_player.Duration(); }
    double CurrentPosition() const override { return m_player.CurrentPosition(); }
    int PlayState() const override { return m_player.PlayState(); }
    void setFollowing(const std::string& path) override { m_player.setFollowing(path); }
    AudioTapPoint* tapPoint() override { return m_player.tapPoint(); }

    // Looks at the state once more: the player changes it on its own at the end of a song.
    void check()
    {
        const int now = m_player.PlayState();
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
