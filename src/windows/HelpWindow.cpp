#include "windows/HelpWindow.h"

#include "ui/WindowRoutines.h"

#include "bot/Bot.h"
#include "chat/CommandHelp.h"

#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavu {
namespace {

QString q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

enum Column { Usage, Description };

// Item data of the rows typed with the trigger: the usage without it.
constexpr int kUsageRole = Qt::UserRole + 2;

} // namespace

HelpWindow::HelpWindow(Bot& bot, QWidget* parent)
    : QWidget(parent, Qt::Window), m_bot(bot), m_intro(new QLabel(this)), m_search(new QLineEdit(this)),
      m_list(new QTreeWidget(this)), m_nothing(new QLabel(this))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Tavu Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(680, 640);
    // Above the player, which stays on top of other windows.
    stayOnTop(this, m_bot.settings());
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);

    m_intro->setObjectName(QStringLiteral("intro"));
    m_intro->setWordWrap(true);
    m_intro->setTextFormat(Qt::RichText);
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setPlaceholderText(QStringLiteral("Search the commands"));
    m_search->setClearButtonEnabled(true);
    m_list->setObjectName(QStringLiteral("commands"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Type"), QStringLiteral("What it does")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setWordWrap(true);
    m_list->header()->setSectionResizeMode(Usage, QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    m_nothing->setObjectName(QStringLiteral("nothing"));
    m_nothing->setText(QStringLiteral("No command matches."));
    m_nothing->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_intro);
    layout->addWidget(m_search);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_nothing);

    build();
    showTrigger();
    m_followTrigger = m_bot.trigChanged.subscribe([this] { showTrigger(); });
    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::search);
}

QTreeWidgetItem* HelpWindow::addGroup(const QString& title)
{
    auto* group = new QTreeWidgetItem(m_list, {title});
    QFont bold = group->font(Usage);
    bold.setBold(true);
    group->setFont(Usage, bold);
    group->setFirstColumnSpanned(true);
    group->setFlags(Qt::ItemIsEnabled);
    group->setExpanded(true);
    return group;
}

void HelpWindow::build()
{
    const auto table = m_bot.dispatcher().table();
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    for (const HelpGroup& group : helpGroups()) {
        QTreeWidgetItem* heading = nullptr;
        for (const Command& command : table) {
            if (command.group != group.group)
                continue;
            if (!heading)
                heading = addGroup(q(group.title));
            auto* row = new QTreeWidgetItem(heading, {QString(), q(command.description)});
            row->setData(Usage, kWordRole, q(command.word));
            row->setData(Usage, kUsageRole, q(commandUsage(command, {})));
            row->setFont(Usage, mono);
            row->setFlags(Qt::ItemIsEnabled);
        }
    }
    QTreeWidgetItem* trigger = addGroup(QStringLiteral("The trigger"));
    auto* row = new QTreeWidgetItem(trigger, {q(kTriggerHelp.usage), q(kTriggerHelp.description)});
    row->setFont(Usage, mono);
    row->setFlags(Qt::ItemIsEnabled);
    QTreeWidgetItem* choice =
        addGroup(QStringLiteral("When \"play\" finds several songs: the answers, typed without the trigger"));
    for (const HelpEntry& answer : songChoiceHelp()) {
        auto* item = new QTreeWidgetItem(choice, {q(answer.usage), q(answer.description)});
        item->setFont(Usage, mono);
        item->setFlags(Qt::ItemIsEnabled);
    }
    choice->setToolTip(Usage, QStringLiteral("When \"play\" finds several songs, Tavu asks which; answer with "
                                             "these words, without the trigger. No other command is heard until "
                                             "the choice ends."));
}

// Every usage typed with the trigger shows the trigger in force.
void HelpWindow::showTrigger()
{
    const QString trig = QString::fromStdString(m_bot.trig);
    for (int g = 0; g < m_list->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = m_list->topLevelItem(g);
        for (int i = 0; i < group->childCount(); ++i) {
            QTreeWidgetItem* row = group->child(i);
            if (row->data(Usage, kWordRole).isValid())
                row->setText(Usage, trig + row->data(Usage, kUsageRole).toString());
        }
    }
    const QString shown = trig.isEmpty() ? QStringLiteral("none (the bare words are commands)")
                                         : QStringLiteral("<b>%1</b>").arg(trig.toHtmlEscaped());
    m_intro->setText(
        QStringLiteral("Type these commands in the chat room. Tavu obeys the owner alone and answers there. "
                       "The trigger in force is %1: every command is the trigger glued to its word, and an "
                       "argument follows after a blank. To change the trigger, type <b>trig</b>, a blank and "
                       "the new trigger. In the chat, <b>%2help</b> lists the words and <b>%2help WORD</b> "
                       "tells what one does.")
            .arg(shown, trig.toHtmlEscaped()));
}

void HelpWindow::search(const QString& text)
{
    const QString needle = text.trimmed();
    bool any = false;
    for (int g = 0; g < m_list->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = m_list->topLevelItem(g);
        bool groupShown = false;
        for (int i = 0; i < group->childCount(); ++i) {
            QTreeWidgetItem* row = group->child(i);
            const bool shown = needle.isEmpty() || row->text(Usage).contains(needle, Qt::CaseInsensitive) ||
                               row->text(Description).contains(needle, Qt::CaseInsensitive);
            row->setHidden(!shown);
            groupShown = groupShown || shown;
        }
        group->setHidden(!groupShown);
        any = any || groupShown;
    }
    m_nothing->setVisible(!any);
}

} // namespace tavu
