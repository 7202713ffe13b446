#include "windows/PlayerKeys.h"

#include "bot/DesktopControls.h"
#include "bot/PlayerControls.h"

#include <QShortcut>
#include <QWidget>

namespace tavu {
namespace {

constexpr double kSeekStep = 5;   // seconds
constexpr double kVolumeStep = 5; // volume levels

struct Key {
    QKeyCombination key;
    bool repeats; // held down, it goes on
    void (*action)(Bot&);
    bool letter = false; // typed text in a list or a field: it needs Ctrl there
};

const Key kKeys[] = {
    {Qt::Key_Space, false, &playPause},
    {Qt::Key_Left, true, [](Bot& bot) { seekBy(bot, -kSeekStep); }},
    {Qt::Key_Right, true, [](Bot& bot) { seekBy(bot, kSeekStep); }},
    {Qt::Key_Up, true, [](Bot& bot) { stepVolume(bot, kVolumeStep); }},
    {Qt::Key_Down, true, [](Bot& bot) { stepVolume(bot, -kVolumeStep); }},
    {Qt::Key_N, false, &nextClick, true},
    {Qt::Key_P, false, &prevClick, true},
    {Qt::Key_S, false, &stopClick, true},
    {Qt::Key_M, false, &toggleMute, true},
};

} // namespace

void installPlayerKeys(QWidget* window, Bot& bot, std::function<void()> exit, PlayerKeyLetters letters)
{
    for (const Key& key : kKeys) {
        const QKeyCombination combination = (key.letter && letters == PlayerKeyLetters::WithCtrl)
                                                ? QKeyCombination(Qt::ControlModifier, key.key.key())
                                                : key.key;
        auto* shortcut = new QShortcut(QKeySequence(combination), window);
        shortcut->setAutoRepeat(key.repeats);
        QObject::connect(shortcut, &QShortcut::activated, window, [&bot, action = key.action] { action(bot); });
    }
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), window);
    quit->setAutoRepeat(false);
    QObject::connect(quit, &QShortcut::activated, window, std::move(exit));
}

} // namespace tavu
