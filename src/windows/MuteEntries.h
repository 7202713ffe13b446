#pragma once

namespace tavu {

class MediaPlayer;

// The options menu's "Mute" and "Un-Mute" entries: exactly one of them is enabled, and "Un-Mute"
// enabled means the player is muted. Both start with the player's sound on.
class MuteEntries {
public:
    bool muteEnabled() const { return !m_muted; }
    bool unMuteEnabled() const { return m_muted; }

    // "Mute": mutes the player unless it is muted already. True when it did.
    bool mute(MediaPlayer& player);
    // "Un-Mute": turns the player's sound back on unless it is on already. True when it did.
    bool unMute(MediaPlayer& player);

private:
    bool m_muted = false;
};

} // namespace tavu
