#include "windows/DirectoryWindow.h"

#include "bot/Bot.h"
#include "bot/DirectoryChooser.h"
#include "player/LibraryOptions.h"
#include "settings/SettingsKeys.h"
#include "ui/DisplayName.h"
#include "ui/PlayerPalette.h"
#include "ui/WindowRoutines.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace tavu {

namespace {

bool isReadableDirectory(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

// The longest drive that holds the path.
int driveOf(const QComboBox* drives, const QString& path)
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < drives->count(); ++i) {
        QString root = drives->itemData(i).toString();
        const QString prefix = root.endsWith(u'/') ? root : root + u'/';
        if ((path == root || path.startsWith(prefix)) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

QPushButton* flatButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

DirectoryWindow* DirectoryWindow::open(Bot& bot)
{
    static QPointer<DirectoryWindow> current;
    if (!current)
        current = new DirectoryWindow(bot);
    current->show();
    current->raise();
    current->activateWindow();
    return current;
}

DirectoryWindow::DirectoryWindow(Bot& bot, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_bot(bot)
{
    setObjectName(QStringLiteral("FrmDir"));
    setWindowTitle(QStringLiteral("Mp3 Directory"));
    setAttribute(Qt::WA_DeleteOnClose);
    applyPlayerPalette(this);

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    Dir1 = new QTreeView(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setModel(m_model);
    Dir1->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        Dir1->hideColumn(column);
    Dir1->setFrameShape(QFrame::NoFrame);
    // The library's choices, as the settings file holds them.
    const LibraryOptions options = readLibraryOptions(bot.settings());
    chkSubfolders = new QCheckBox(QStringLiteral("Songs of sub-folders too"), this);
    chkSubfolders->setObjectName(QStringLiteral("chkSubfolders"));
    chkSubfolders->setChecked(options.subfolders);
    txtFormats = new QLineEdit(QString::fromStdString(formatsText(options.formats)), this);
    txtFormats->setObjectName(QStringLiteral("txtFormats"));
    txtFormats->setPlaceholderText(
        QString::fromLatin1(kNewProgramFormats.data(), static_cast<qsizetype>(kNewProgramFormats.size())));
    txtFormats->setToolTip(
        QStringLiteral("Formats besides MP3, separated by blanks: %1")
            .arg(QString::fromStdString(formatsText({playableFormats().begin(), playableFormats().end()}))));
    cboTitles = new QComboBox(this);
    cboTitles->setObjectName(QStringLiteral("cboTitles"));
    cboTitles->addItem(QStringLiteral("File names"), QStringLiteral("files"));
    cboTitles->addItem(QStringLiteral("Tags"), QStringLiteral("tags"));
    cboTitles->setCurrentIndex(options.tagTitles ? 1 : 0);
    auto* choices = new QGridLayout;
    choices->setContentsMargins(0, 2, 0, 2);
    choices->addWidget(chkSubfolders, 0, 0, 1, 2);
    choices->addWidget(new QLabel(QStringLiteral("Formats:"), this), 1, 0);
    choices->addWidget(txtFormats, 1, 1);
    choices->addWidget(new QLabel(QStringLiteral("Titles:"), this), 2, 0);
    choices->addWidget(cboTitles, 2, 1);

    Ok = flatButton(QStringLiteral("Ok"), "Ok", this);
    Cancel = flatButton(QStringLiteral("Cancel"), "Cancel", this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    column->addWidget(Drive1);
    column->addWidget(Dir1, 1);
    column->addLayout(choices);
    column->addLayout(buttons);
    resize(260, 380);

    fillDrives();
    const QString start = QFile::decodeName(QByteArray::fromStdString(bot.dir));
    if (start.isEmpty() || !setDirectory(start))
        setDirectory(QDir::homePath());

    connect(m_model, &QFileSystemModel::rowsInserted, this, [this] { reveal(); });
    connect(m_model, &QFileSystemModel::layoutChanged, this, [this] { reveal(); });
    connect(Dir1->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { m_reveal.clear(); });
    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        if (m_model->filePath(index) != m_reveal)
            m_reveal.clear();
    });
    connect(Drive1, &QComboBox::activated, this, [this](int index) { driveChanged(index); });
    connect(Ok, &QPushButton::clicked, this, [this] { okClicked(); });
    connect(Cancel, &QPushButton::clicked, this, [this] { cancelClicked(); });
    stayOnTop(this, m_bot.settings());
    installDragHandle(this, this);
}

void DirectoryWindow::fillDrives()
{
    QStringList roots{QStringLiteral("/"), QDir::homePath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            roots.append(volume.rootPath());
    roots.removeDuplicates();
    for (const QString& root : roots)
        Drive1->addItem(displayName(QFile::encodeName(root).toStdString()), root);
}

bool DirectoryWindow::setRoot(const QString& root)
{
    if (!isReadableDirectory(root))
        return false;
    m_root = root;
    m_model->setRootPath(root);
    Dir1->setRootIndex(m_model->index(root));
    return true;
}

bool DirectoryWindow::setDirectory(const QString& path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    if (!isReadableDirectory(clean))
        return false;
    const int drive = driveOf(Drive1, clean);
    if (drive < 0 || !setRoot(Drive1->itemData(drive).toString()))
        return false;
    Drive1->setCurrentIndex(drive);
    m_driveIndex = drive;
    const QModelIndex index = m_model->index(clean);
    Dir1->setCurrentIndex(index);
    Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    m_reveal = clean;
    return true;
}

void DirectoryWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    reveal();
}

void DirectoryWindow::reveal()
{
    // The tree is read and sorted in the background, a little at a time; until the user takes
    // over, each step keeps the chosen directory in sight.
    if (!m_reveal.isEmpty())
        Dir1->scrollTo(Dir1->currentIndex(), QAbstractItemView::PositionAtCenter);
}

QString DirectoryWindow::chosenDirectory() const
{
    const QModelIndex index = Dir1->currentIndex();
    return index.isValid() ? m_model->filePath(index) : m_root;
}

void DirectoryWindow::driveChanged(int index)
{
    // A drive that cannot be opened leaves the tree where it was.
    if (setRoot(Drive1->itemData(index).toString())) {
        m_driveIndex = index;
        m_reveal.clear();
        Dir1->setCurrentIndex(QModelIndex());
    } else {
        Drive1->setCurrentIndex(m_driveIndex);
    }
}

LibraryOptions DirectoryWindow::chosenOptions() const
{
    LibraryOptions options;
    options.subfolders = chkSubfolders->isChecked();
    options.formats = parseFormats(txtFormats->text().toStdString());
    options.tagTitles = cboTitles->currentData().toString() == QStringLiteral("tags");
    return options;
}

void DirectoryWindow::okClicked()
{
    m_bot.startTask(chooseMusicDirectory(m_bot, QFile::encodeName(chosenDirectory()).toStdString(), chosenOptions()));
    close();
}

void DirectoryWindow::cancelClicked()
{
    m_bot.playSound("Click.wav");
    close();
}

} // namespace tavu
