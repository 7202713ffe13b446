#include "windows/CommandsWindow.h"

#include "bot/Bot.h"
#include "ui/WindowRoutines.h"
#include "ui/WindowSkin.h"
#include "windows/CommandHelpLines.h"

#include <QLabel>
#include <QListWidget>

namespace tavu {

namespace {
constexpr int kWidth = 300;
constexpr int kHeight = 340;
} // namespace

CommandsWindow::CommandsWindow(Bot& bot, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_bot(bot), Label1(new QLabel(this)),
      lstComs(new QListWidget(this))
{
    setObjectName(QStringLiteral("frmComs"));
    setWindowTitle(QStringLiteral("Tavu View Coms"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kWidth, kHeight);

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(0, 0, kWidth - 50, 24);
    Label1->setCursor(Qt::SizeAllCursor);
    installDragHandle(Label1, this);
    skinTitle(QStringLiteral("CHAT COMMANDS"), this)->setGeometry(10, 5, 160, 14);

    FlatBttn1 = skinButton(SkinButton::Icon::Minimize, "FlatBttn1", QStringLiteral("Minimize"), this);
    FlatBttn1->move(kWidth - 48, 4);
    connect(FlatBttn1, &QAbstractButton::clicked, this, [this] {
        m_bot.playSound("Min.wav");
        showMinimized();
    });
    Exit = skinButton(SkinButton::Icon::Close, "Exit", QStringLiteral("Close"), this);
    Exit->move(kWidth - 26, 4);
    connect(Exit, &QAbstractButton::clicked, this, [this] {
        m_bot.playSound("Click.wav");
        close();
    });

    buildList();
    stayOnTop(this, m_bot.settings());
}

void CommandsWindow::buildList()
{
    lstComs->setObjectName(QStringLiteral("lstComs"));
    lstComs->setGeometry(6, 26, kWidth - 12, kHeight - 32);
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPixelSize(13);
    lstComs->setFont(font);
    lstComs->setUniformItemSizes(true);
    lstComs->setStyleSheet(skinListStyle(QStringLiteral("QListWidget")));
    for (const std::string_view line : kCommandHelpLines)
        lstComs->addItem(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

void CommandsWindow::paintEvent(QPaintEvent*)
{
    paintWindowSkin(this);
}

} // namespace tavu
