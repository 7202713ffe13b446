#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tavu {

// A volume control program of the desktop, with its arguments.
struct MixerProgram {
    QString program;
    QStringList arguments;
};

// The volume controls tried in turn: PulseAudio's and PipeWire's own first, then those of the
// common desktops, and ALSA's mixer in a terminal last.
const std::vector<MixerProgram>& desktopMixers();

// Starts the first of the mixers that can be started, on its own; the program does not wait for
// it. False when none could be started.
bool startDesktopMixer(const std::vector<MixerProgram>& mixers = desktopMixers());

} // namespace tavu
