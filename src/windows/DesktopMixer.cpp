#include "windows/DesktopMixer.h"

#include <QProcess>

namespace tavu {

const std::vector<MixerProgram>& desktopMixers()
{
    static const std::vector<MixerProgram> mixers{
        {QStringLiteral("pavucontrol"), {}},
        {QStringLiteral("pavucontrol-qt"), {}},
        {QStringLiteral("gnome-control-center"), {QStringLiteral("sound")}},
        {QStringLiteral("mate-volume-control"), {}},
        {QStringLiteral("xfce4-mixer"), {}},
        {QStringLiteral("x-terminal-emulator"), {QStringLiteral("-e"), QStringLiteral("alsamixer")}},
    };
    return mixers;
}

bool startDesktopMixer(const std::vector<MixerProgram>& mixers)
{
    for (const MixerProgram& mixer : mixers)
        if (QProcess::startDetached(mixer.program, mixer.arguments))
            return true;
    return false;
}

} // namespace tavu
