#include <ribbonix/ControlFactory.h>
#include <ribbonix/Scroller.h>

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using Ribbonix::Scroller;

TEST(ControlFactoryTest, HandsOutTheScrollerByItsIdentifierOnly)
{
    QWidget parent;
    for (const char* id : {"Ribbonix.Scroller", "ribbonix.SCROLLER"}) {
        QWidget* control = Ribbonix::createControl(QString::fromLatin1(id), &parent);
        EXPECT_NE(qobject_cast<Scroller*>(control), nullptr) << id;
        EXPECT_EQ(control->parentWidget(), &parent);
    }
    for (const char* id : {"", "Scroller", "Ribbonix.Scroller.1", " Ribbonix.Scroller"})
        EXPECT_EQ(Ribbonix::createControl(QString::fromLatin1(id), &parent), nullptr) << id;
    EXPECT_EQ(Ribbonix::createScroller(&parent)->parentWidget(), &parent);
}

TEST(ControlFactoryTest, AHostHoldingOnlyAWidgetReachesTheMembersByName)
{
    const std::unique_ptr<QWidget> control(Ribbonix::createControl(QString(Ribbonix::ScrollerProgId)));
    ASSERT_NE(control, nullptr);
    auto* scroller = qobject_cast<Scroller*>(control.get());
    EXPECT_TRUE(QMetaObject::invokeMethod(control.get(), "BackColor", Q_ARG(quint32, 0x000000FFu)));
    EXPECT_TRUE(QMetaObject::invokeMethod(control.get(), "TextColor", Q_ARG(quint32, 0x00FFFFFFu)));
    EXPECT_TRUE(QMetaObject::invokeMethod(control.get(), "PS", Q_ARG(qint32, 0)));
    EXPECT_TRUE(QMetaObject::invokeMethod(control.get(), "DoScroll", Q_ARG(QString, QStringLiteral("x")),
                                          Q_ARG(qint16, 4), Q_ARG(qint32, 0), Q_ARG(bool, false)));
    EXPECT_FALSE(scroller->state().vertical);
    EXPECT_TRUE(QMetaObject::invokeMethod(control.get(), "DoScroll", Q_ARG(QString, QStringLiteral("y")),
                                          Q_ARG(qint16, 4), Q_ARG(qint32, 0), Q_ARG(bool, true), Q_ARG(qint16, 1)));
    EXPECT_TRUE(scroller->state().vertical);
    EXPECT_EQ(scroller->state().enabledTimers, 2);
}
