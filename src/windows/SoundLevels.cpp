#include "windows/SoundLevels.h"

#include "bot/PlayerControls.h"
#include "util/Text.h"

namespace tavu {

std::optional<std::string> balanceCaption(int balance)
{
    if (balance > -500 && balance < 500)
        return "Center";
    if (balance < -500)
        return "Left";
    if (balance > 500)
        return "Right";
    return std::nullopt;
}

std::string volumeCaption(int value)
{
    return decimal(value / 25) + " %";
}

int volumeRed(int value)
{
    return static_cast<int>(roundHalfEven(value / 10.0));
}

int volumeGain(int value)
{
    // The slider has 25 steps for each level of the chat's volume, on the chat's one scale.
    return volumeToAttenuation(static_cast<double>(value) * 100.0 / kVolumeSliderMax);
}

} // namespace tavu
