#include "ui/FileDrops.h"

#include "bot/DroppedFiles.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <string>
#include <vector>

namespace tavu {
namespace {

std::vector<std::string> localFiles(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (data)
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths.push_back(url.toLocalFile().toStdString());
    return paths;
}

class FileDrops : public QObject {
public:
    FileDrops(QWidget* window, Bot& bot) : QObject(window), m_bot(bot) { window->setAcceptDrops(true); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (localFiles(drag->mimeData()).empty())
                return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            std::vector<std::string> paths = localFiles(drop->mimeData());
            if (paths.empty())
                return false;
            drop->acceptProposedAction();
            // Not inside the drop: the file manager waits for it to end, and a box may open.
            QTimer::singleShot(0, this, [this, paths = std::move(paths)] { dropFiles(m_bot, paths); });
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    Bot& m_bot;
};

} // namespace

void installFileDrops(QWidget* window, Bot& bot)
{
    window->installEventFilter(new FileDrops(window, bot));
}

} // namespace tavu
