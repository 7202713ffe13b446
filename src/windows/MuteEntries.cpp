#include "windows/MuteEntries.h"

#include "player/MediaPlayer.h"

namespace tavu {

bool MuteEntries::mute(MediaPlayer& player)
{
    if (m_muted)
        return false;
    player.setMute(true);
    m_muted = true;
    return true;
}

bool MuteEntries::unMute(MediaPlayer& player)
{
    if (!m_muted)
        return false;
    player.setMute(false);
    m_muted = false;
    return true;
}

} // namespace tavu
