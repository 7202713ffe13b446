#include "ui/QtPlatform.h"

#include <QFontDatabase>
#include <QInputDialog>
#include <QMessageBox>

namespace tavu {

namespace {
QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

void keepOnTop(QWidget& box)
{
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}
} // namespace

void QtDialogs::message(const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::NoIcon, q(title), q(text), QMessageBox::Ok);
    keepOnTop(box);
    box.exec();
}

bool QtDialogs::question(const std::string& text, const std::string& title)
{
    QMessageBox box(QMessageBox::Question, q(title), q(text), QMessageBox::Yes | QMessageBox::No);
    keepOnTop(box);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::input(const std::string& prompt, const std::string& title,
                                            const std::string& defaultAnswer)
{
    QInputDialog dialog;
    dialog.setWindowTitle(q(title));
    dialog.setLabelText(q(prompt));
    dialog.setTextValue(q(defaultAnswer));
    keepOnTop(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

std::vector<std::string> QtFontList::families() const
{
    std::vector<std::string> out;
    for (const QString& family : QFontDatabase::families())
        out.push_back(family.toStdString());
    return out;
}

} // namespace tavu
