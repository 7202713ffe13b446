#pragma once

#include "util/Signal.h"

#include <functional>
#include <optional>
#include <string>

namespace tavu {

// The stream that the room listens to, as the bot and the windows see it. The program's one is an
// Icecast mount fed from the player; a program without a stream set up has none.
class Radio {
public:
    virtual ~Radio() = default;

    // The address the room is told to open; "" while the stream is off.
    virtual std::string listenUrl() const = 0;
    // Asks the server how many listen. done runs later on the UI thread, within two seconds: with
    // the count, or with nothing when the server did not answer in time.
    virtual void countListeners(std::function<void(std::optional<int>)> done) = 0;

    // Whether the mount is open now, and the listener count last heard (for the "on air" mark).
    virtual bool onAir() const = 0;
    virtual std::optional<int> lastListenerCount() const = 0;
    // The "[Stream]" settings were changed: the stream starts anew with them (or stops).
    virtual void settingsChanged() = 0;

    // Raised when onAir or the last listener count changes.
    Signal<> changed;
};

} // namespace tavu
