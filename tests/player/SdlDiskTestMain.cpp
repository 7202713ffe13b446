#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// The output tests write what would reach the sound card into a file, through SDL's disk driver.
// SDL reads the driver when audio starts; each test names its own file in SDL_DISKAUDIOFILE.
// A delay of 1 ms per buffer plays about twenty times faster than real time and keeps the files small.
int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIODELAY", "1", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
