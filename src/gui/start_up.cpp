#include "gui/start_up.h"

#include "platform/config_folder.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace zembra {

QUrl DesktopUrl(const std::string& target) {
    const QString text = QString::fromStdString(target);
    // Only the site's own addresses are web addresses; anything else is a file,
    // even a name that looks like a host, and a relative one is taken from here.
    if (text.startsWith(QLatin1String("https://")) || text.startsWith(QLatin1String("http://")))
        return QUrl(text, QUrl::StrictMode);
    return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
}

void StartUp(Form1& form, const std::string& commandLine) {
    form.ApplicationDataFolder = UserConfigFolder;
    form.OpenWithDesktop = [](const std::string& target) {
        const QUrl url = DesktopUrl(target);
        if (url.isValid())
            QDesktopServices::openUrl(url);
    };
    form.Form_Load(commandLine);
}

} // namespace zembra
