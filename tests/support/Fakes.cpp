#include "support/Fakes.h"

#include <filesystem>

namespace tavu::test {

bool FakeMediaPlayer::open(const std::string& path)
{
    opened.push_back(path);
    std::error_code ec;
    if (!openEverything && !std::filesystem::is_regular_file(path, ec)) {
        state = Stopped;
        openPath.clear();
        position = 0;
        return false;
    }
    openPath = path;
    position = 0;
    state = Playing;
    return true;
}

void FakeMediaPlayer::play()
{
    if (!openPath.empty())
        state = Playing;
}

void FakeMediaPlayer::pause()
{
    if (!openPath.empty())
        state = Paused;
}

bool FakeMediaPlayer::seek(double seconds)
{
    if (openPath.empty() || state == Stopped || !(seconds >= 0 && seconds <= length))
        return false;
    position = seconds;
    return true;
}

void FakeMediaPlayer::stop()
{
    state = Stopped;
    position = 0;
}

void FakeMediaPlayer::finish()
{
    position = length;
    state = Stopped;
    if (!endOfStream)
        return;
    if (around)
        around(endOfStream);
    else
        endOfStream();
}

void FakeDialogs::message(const std::string& text, const std::string& title)
{
    shown.push_back({"message", text, title});
}

bool FakeDialogs::question(const std::string& text, const std::string& title)
{
    shown.push_back({"question", text, title});
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> FakeDialogs::input(const std::string& prompt, const std::string& title,
                                              const std::string& defaultAnswer)
{
    shown.push_back({"input", prompt, title});
    if (inputs.empty())
        return defaultAnswer;
    auto answer = inputs.front();
    inputs.pop_front();
    return answer;
}

} // namespace tavu::test
