#include "ui/WindowRoutines.h"
#include "ui/DisplayName.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace tavu::test {
namespace {

using namespace std::chrono_literals;

class WindowRoutinesTest : public ::testing::Test {
protected:
    WindowRoutinesTest()
    {
        window.setWindowFlag(Qt::FramelessWindowHint);
        button = new QPushButton(QStringLiteral("Play"), &window);
        hiddenLabel = new QLabel(QStringLiteral("hidden"), &window);
        hiddenLabel->hide();
        window.setGeometry(40, 30, 200, 100);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void sendMouse(QWidget* target, QEvent::Type type, QPoint global)
    {
        const QPoint local = target->mapFromGlobal(global);
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    // Presses at `from`, moves by `by` with the button held, and lets go there.
    void pressMoveRelease(QWidget* target, QPoint from, QPoint by)
    {
        sendMouse(target, QEvent::MouseButtonPress, from);
        sendMouse(target, QEvent::MouseMove, from + by);
        sendMouse(target, QEvent::MouseButtonRelease, from + by);
        QApplication::processEvents();
    }

    QWidget window;
    QPushButton* button;
    QLabel* hiddenLabel;
};

TEST_F(WindowRoutinesTest, GlideEndsInTheCornerWithControlsAndColoursBack)
{
    const QColor before = window.palette().color(QPalette::Window);
    glideToCorner(&window, 102, 0ms);
    QApplication::processEvents();

    const QRect screen = window.screen()->geometry();
    EXPECT_EQ(window.frameGeometry().bottomRight(), screen.bottomRight());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(button->isVisible());
    EXPECT_TRUE(hiddenLabel->isHidden());
    EXPECT_EQ(window.palette().color(QPalette::Window), before);
    EXPECT_FALSE(window.autoFillBackground());

    // Again from the corner itself: it stays there.
    glideToCorner(&window, 102, 0ms);
    QApplication::processEvents();
    EXPECT_EQ(window.frameGeometry().bottomRight(), screen.bottomRight());
}

TEST_F(WindowRoutinesTest, GlideKeepsAStyleSheet)
{
    const QString sheet = QStringLiteral("QWidget { background: #123456; }");
    window.setStyleSheet(sheet);
    glideToCorner(&window, 0, 0ms);
    EXPECT_EQ(window.styleSheet(), sheet);
    EXPECT_TRUE(button->isVisible());
}

TEST_F(WindowRoutinesTest, ThePressedBodyDragsTheWindowWithoutAWindowManager)
{
    QLabel* body = new QLabel(QStringLiteral("body"), &window);
    body->setGeometry(0, 0, 100, 50);
    body->show();
    installDragHandle(&window, &window);
    const QPoint start = window.pos();
    const QPoint grab = window.mapToGlobal(QPoint(10, 10));

    // Pressed on a label, which does not take the press, so the window's body gets it.
    pressMoveRelease(body, grab, QPoint(50, 30));
    EXPECT_EQ(window.pos(), start + QPoint(50, 30));

    // After the release the mouse moves freely.
    sendMouse(&window, QEvent::MouseMove, grab + QPoint(200, 200));
    QApplication::processEvents();
    EXPECT_EQ(window.pos(), start + QPoint(50, 30));

    // A click that wobbles a pixel or two is a click: no drag starts, with or without a window
    // manager (which, asked to move the window after a quick click, would take the keyboard).
    pressMoveRelease(body, window.mapToGlobal(QPoint(10, 10)), QPoint(2, 1));
    EXPECT_EQ(window.pos(), start + QPoint(50, 30));
}

TEST_F(WindowRoutinesTest, StayOnTopKeepsAShownWindowWhereItIs)
{
    const QPoint at = window.pos();
    stayOnTop(&window);
    QApplication::processEvents();
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.pos(), at);
}

TEST(DisplayName, ShowsBytesThatAreNotUtf8AsWindows1252)
{
    EXPECT_EQ(displayName("Caf\xC3\xA9.mp3"), QStringLiteral("Caf\u00E9.mp3"));
    EXPECT_EQ(displayName("Caf\xE9.mp3"), QStringLiteral("Caf\u00E9.mp3"));
    EXPECT_EQ(displayName("\x80 \xC3\xA9 \xFF"), QStringLiteral("\u20AC \u00E9 \u00FF"));
}

} // namespace
} // namespace tavu::test
