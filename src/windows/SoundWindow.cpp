#include "windows/SoundWindow.h"

#include "bot/Bot.h"
#include "bot/PlayerControls.h"
#include "ui/Colours.h"
#include "ui/WindowRoutines.h"
#include "ui/WindowSkin.h"
#include "util/Text.h"
#include "windows/OptionsMenu.h"
#include "windows/SoundLevels.h"

#include <QLabel>
#include <QSlider>

#include <algorithm>

namespace tavu {

namespace {
constexpr int kWidth = 320;
constexpr int kHeight = 84;

const QString kSliderStyle =
    QStringLiteral(
        "QSlider::groove:horizontal { height: 4px; background: %1; border: 1px solid %2; border-radius: 2px; }"
        "QSlider::handle:horizontal { width: 10px; margin: -5px 0; border-radius: 5px; border: 1px solid #0e1014;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e2ecf7, stop:1 #8fa3b8); }"
        "QSlider::handle:horizontal:hover { background: #ffffff; }"
        "QSlider:focus { outline: none; }")
        .arg(colours::css(colours::Groove), colours::css(colours::Edge));
const QString kVolumeFill = QStringLiteral("QSlider::sub-page:horizontal { border-radius: 2px; background: %1; }")
                                .arg(colours::accentGradient());
} // namespace

SoundWindow::SoundWindow(Bot& bot, QMenu& soundsMenu, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_bot(bot), m_soundsMenu(soundsMenu)
{
    setObjectName(QStringLiteral("frmSound"));
    setWindowTitle(QStringLiteral("Tavu Sound"));
    setFixedSize(kWidth, kHeight);

    skinTitle(QStringLiteral("SOUND"), this)->setGeometry(10, 5, 100, 14);
    Menu = skinButton(SkinButton::Icon::Menu, "Menu", QStringLiteral("Sound Menu"), this);
    Menu->move(272, 4);
    connect(Menu, &QAbstractButton::clicked, this, [this] {
        m_bot.playSound("Menu.wav");
        OptionsMenu::popUp(&m_soundsMenu);
    });
    Exit = skinButton(SkinButton::Icon::Close, "Exit", QStringLiteral("Close"), this);
    Exit->move(294, 4);
    connect(Exit, &QAbstractButton::clicked, this, [this] {
        m_bot.playSound("Click.wav");
        hide();
    });
    buildSliders();
    followBot();

    stayOnTop(this, m_bot.settings());
    installDragHandle(this, this);
}

QLabel* SoundWindow::addCaption(const QString& text, int y)
{
    auto* caption = new QLabel(text, this);
    caption->setGeometry(10, y, 52, 20);
    caption->setStyleSheet(QStringLiteral("color: #8d9aab; font-size: 11px;"));
    return caption;
}

void SoundWindow::buildSliders()
{
    addCaption(QStringLiteral("Balance"), 28);
    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setGeometry(64, 28, 172, 20);
    Slider1->setRange(kBalanceSliderMin, kBalanceSliderMax);
    Slider1->setSingleStep(250);
    Slider1->setPageStep(2000);
    Slider1->setStyleSheet(kSliderStyle);
    Label1 = new QLabel(QStringLiteral("Center"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(244, 28, 66, 20);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setStyleSheet(
        QStringLiteral("color: %1; font-weight: bold; font-size: 11px;").arg(colours::css(colours::Accent)));

    addCaption(QStringLiteral("Volume"), 56);
    Slider2 = new QSlider(Qt::Horizontal, this);
    Slider2->setObjectName(QStringLiteral("Slider2"));
    Slider2->setGeometry(64, 56, 172, 20);
    Slider2->setRange(0, kVolumeSliderMax);
    Slider2->setSingleStep(25);
    Slider2->setPageStep(250);
    Slider2->setStyleSheet(kSliderStyle + kVolumeFill);
    // A light field, so that the text can go from black to red on the dark window.
    Label2 = new QLabel(QStringLiteral("0 %"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(250, 57, 54, 18);
    Label2->setAlignment(Qt::AlignCenter);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    QPalette chip = Label2->palette();
    chip.setColor(QPalette::Window, QColor(201, 211, 222));
    chip.setColor(QPalette::WindowText, Qt::black);
    Label2->setPalette(chip);
    Label2->setAutoFillBackground(true);

    // Mouse drags, clicks on the groove and keys all change the value; the level is stored when
    // the slider is let go (or at once for a click or a key).
    connect(Slider1, &QSlider::valueChanged, this, [this](int v) { balanceSliderChanged(v); });
    connect(Slider2, &QSlider::valueChanged, this, [this](int v) { volumeSliderChanged(v); });
    connect(Slider1, &QSlider::sliderReleased, this, [this] { storeBalance(); });
    connect(Slider2, &QSlider::sliderReleased, this, [this] { storeVolume(); });
}

// The sliders show the levels in effect, whoever changed them.
void SoundWindow::followBot()
{
    m_following.follow(m_bot.lblVol.changed, [this] { showVolume(); });
    m_following.follow(m_bot.muteChanged, [this] { showLevelText(); });
    m_following.follow(m_bot.balanceChanged, [this] { showBalance(); });
    showVolume();
    showBalance();
}

void SoundWindow::showVolume()
{
    const double level = std::clamp(leadingNumber(m_bot.lblVol.caption()), 0.0, 100.0);
    m_showing = true;
    Slider2->setValue(static_cast<int>(roundHalfEven(level * 25)));
    m_showing = false;
}

void SoundWindow::showBalance()
{
    m_showing = true;
    Slider1->setValue(m_bot.balance());
    m_showing = false;
}

void SoundWindow::storeVolume()
{
    const int value = Slider2->value();
    setVolumeLevel(m_bot, wholeVolumeLevel(value / 25.0), true);
}

void SoundWindow::storeBalance()
{
    setBalance(m_bot, Slider1->value(), true);
}

void SoundWindow::balanceSliderChanged(int value)
{
    if (const auto caption = balanceCaption(value))
        Label1->setText(QString::fromStdString(*caption));
    if (m_showing)
        return;
    m_bot.media().setBalance(value);
    if (!Slider1->isSliderDown())
        storeBalance();
}

// Muted, the level's field says so; the slider keeps the level that comes back.
void SoundWindow::showLevelText()
{
    Label2->setText(m_bot.muted() ? QStringLiteral("Muted") : QString::fromStdString(volumeCaption(Slider2->value())));
}

void SoundWindow::volumeSliderChanged(int value)
{
    QPalette palette = Label2->palette();
    palette.setColor(QPalette::WindowText, QColor(volumeRed(value), 0, 0));
    Label2->setPalette(palette);
    showLevelText();
    if (m_showing)
        return;
    m_bot.media().setVolume(volumeGain(value));
    if (!Slider2->isSliderDown())
        storeVolume();
}

void SoundWindow::toggle()
{
    if (isVisible()) {
        hide();
        return;
    }
    if (m_bot.dockSideWindows)
        m_bot.dockSideWindows();
    show();
    raise();
}

void SoundWindow::paintEvent(QPaintEvent*)
{
    paintWindowSkin(this);
}

} // namespace tavu
