#include "gui/start_up.h"

#include "platform/config_folder.h"

#include <QDesktopServices>
#include <QUrl>

namespace zembra {

void StartUp(Form1& form, const std::string& commandLine) {
    form.ApplicationDataFolder = UserConfigFolder;
    form.OpenWithDesktop = [](const std::string& target) {
        const QString text = QString::fromStdString(target);
        // Files are named by their path; anything else is a web address.
        const QUrl url = text.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(text) : QUrl(text);
        QDesktopServices::openUrl(url);
    };
    form.Form_Load(commandLine);
}

} // namespace zembra
