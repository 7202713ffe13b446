#include "windows/ChatRoomWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace tavu {

ChatRoomWindow::ChatRoomWindow(LocalChatRoom& room, QWidget* parent)
    : QWidget(parent), m_room(&room), m_welcome(new QLabel(this)), m_status(new QLabel(this)),
      m_transcript(new QTextBrowser(this)), m_input(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Tavu Chat Room"));
    setObjectName(QStringLiteral("ChatRoomWindow"));
    resize(560, 380);

    m_welcome->setObjectName(QStringLiteral("welcome"));
    m_welcome->setStyleSheet(QStringLiteral("font-weight: bold;"));
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setStyleSheet(QStringLiteral("color: #666;"));

    m_transcript->setObjectName(QStringLiteral("transcript"));
    m_transcript->setOpenLinks(false);
    // A dark room, as the player is: the owner's light default colours read well on it.
    m_transcript->setStyleSheet(QStringLiteral("QTextBrowser { background: #14171d; color: #d8dee9;"
                                               " border: 1px solid #2a313c; }"));

    m_input->setObjectName(QStringLiteral("input"));
    m_input->setPlaceholderText(QStringLiteral("Type a line and press Enter"));
    m_input->setMaxLength(1024);
    auto* send = new QPushButton(QStringLiteral("Send"), this);

    auto* header = new QHBoxLayout;
    header->addWidget(m_welcome);
    header->addStretch();
    header->addWidget(m_status);
    auto* inputRow = new QHBoxLayout;
    inputRow->addWidget(m_input, 1);
    inputRow->addWidget(send);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(m_transcript, 1);
    layout->addLayout(inputRow);

    connect(m_input, &QLineEdit::returnPressed, this, &ChatRoomWindow::sendTyped);
    connect(send, &QPushButton::clicked, this, &ChatRoomWindow::sendTyped);

    follow();
}

ChatRoomWindow::~ChatRoomWindow()
{
    unfollow();
}

void ChatRoomWindow::setRoom(LocalChatRoom& room)
{
    unfollow();
    m_room = &room;
    m_transcript->clear();
    follow();
}

void ChatRoomWindow::follow()
{
    m_welcome->setText(QString::fromStdString(m_room->welcomeCaption()));
    for (const auto& entry : m_room->transcript())
        append(entry);
    m_room->onEntry = [this](const LocalChatRoom::Entry& entry) { append(entry); };
    setStatus(QString::fromStdString(m_room->status()));
    m_room->onStatus = [this](const std::string& status) { setStatus(QString::fromStdString(status)); };
}

void ChatRoomWindow::unfollow()
{
    m_room->onEntry = nullptr;
    m_room->onStatus = nullptr;
}

void ChatRoomWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    showMinimized();
}

void ChatRoomWindow::setStatus(const QString& status)
{
    m_status->setText(status);
}

void ChatRoomWindow::sendTyped()
{
    const QString text = m_input->text();
    if (text.isEmpty())
        return;
    m_input->clear();
    m_room->ownerTyped(text.toStdString());
}

QString ChatRoomWindow::entryHtml(const LocalChatRoom::Entry& entry)
{
    const QString sender = QString::fromStdString(entry.sender).toHtmlEscaped();
    const QString text = QString::fromStdString(entry.text);
    switch (entry.kind) {
    case LocalChatRoom::Kind::Reply:
        return QStringLiteral("<b>%1:</b>&nbsp;%2").arg(sender, text);
    case LocalChatRoom::Kind::Typed:
        return QStringLiteral("<b>%1:</b>&nbsp;%2").arg(sender, text.toHtmlEscaped());
    case LocalChatRoom::Kind::Notice:
        break;
    }
    return QStringLiteral("<i><font color=#777777>%1</font></i>").arg(text.toHtmlEscaped());
}

void ChatRoomWindow::trim()
{
    // Every removal at the top lays the whole transcript out again, so lines go a batch at a time:
    // a full transcript then costs a line what an empty one does, give or take one layout in 500.
    QTextDocument* document = m_transcript->document();
    if (document->blockCount() <= kShownLines)
        return;
    QTextCursor top(document);
    top.movePosition(QTextCursor::Start);
    top.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                     document->blockCount() - (kShownLines - kTrimBatch));
    top.removeSelectedText();
}

void ChatRoomWindow::append(const LocalChatRoom::Entry& entry)
{
    QScrollBar* bar = m_transcript->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum() - 4;
    QTextCursor cursor(m_transcript->document());
    cursor.movePosition(QTextCursor::End);
    if (!m_transcript->document()->isEmpty())
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    // Each line's tags stay inside its own paragraph, so unclosed tags never colour the next line.
    cursor.setCharFormat(QTextCharFormat());
    cursor.insertHtml(entryHtml(entry));
    trim();
    if (atBottom)
        bar->setValue(bar->maximum());
}

} // namespace tavu
