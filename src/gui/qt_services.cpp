#include "gui/qt_services.h"

#include "gui/picture_paths.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

namespace zembra {

namespace {
constexpr long kAllowMultiSelect = 0x200;
constexpr const char* kTitle = "Zembra";
} // namespace

QString StartFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

void QtServices::MsgBox(const std::string& text) {
    // Message texts break lines with CR LF.
    QString shown = QString::fromStdString(text);
    shown.remove(QLatin1Char('\r'));
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kTitle), shown, QMessageBox::Ok,
                    window_);
    box.exec();
}

std::string QtServices::ShowOpen(const OpenFileRequest& request) {
    if (!answers_.empty()) {
        std::string answer = std::move(answers_.front());
        answers_.pop_front();
        return answer;
    }
    QStringList filters;
    for (const std::string& filter : DialogNameFilters(request.filter))
        filters << QString::fromStdString(filter);
    // A start folder that does not exist would be taken as a name to fill in.
    if (!QFileInfo(lastFolder_).isDir())
        lastFolder_ = StartFolder();
    QString start = lastFolder_;
    if (!request.fileName.empty())
        start = QString::fromStdString(request.fileName);

    const QString filter = filters.join(QStringLiteral(";;"));
    QStringList chosen;
    if (request.flags & kAllowMultiSelect) {
        chosen = QFileDialog::getOpenFileNames(window_, QStringLiteral("Open"), start, filter);
    } else {
        const QString one =
            QFileDialog::getOpenFileName(window_, QStringLiteral("Open"), start, filter);
        if (!one.isEmpty())
            chosen << one;
    }
    if (chosen.isEmpty())
        return {};
    lastFolder_ = QFileInfo(chosen.front()).absolutePath();
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(path.toStdString());
    return OpenAnswer(paths);
}

std::string QtServices::ClipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
}

void QtServices::ClearClipboard() {
    QGuiApplication::clipboard()->clear();
}

void QtServices::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace zembra
