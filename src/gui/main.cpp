// zembra: the batch picture processor's window.
#include "gui/gui_arguments.h"
#include "gui/main_window.h"
#include "gui/start_up.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
    return {argv + std::min(argc, 1), argv + argc};
}

// Writes a picture of the window once it has been laid out and painted; of the
// folder import dialog instead when it is open, once its thumbnails are in.
void ScheduleScreenshot(zembra::MainWindow& window, const std::string& file) {
    const int delay = window.importWindow() ? 2000 : 400;
    QTimer::singleShot(delay, &window.view(), [&window, file] {
        QWidget& shown = window.importWindow()
                             ? static_cast<QWidget&>(window.importWindow()->view())
                             : window.view();
        const bool saved = shown.grab().save(QString::fromStdString(file), "PNG");
        if (!saved)
            std::fprintf(stderr, "zembra: cannot write %s\n", file.c_str());
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

} // namespace

int main(int argc, char** argv) {
    using namespace zembra;
    // --help and --version answer without a display.
    const GuiArguments early = ParseGuiArguments(Arguments(argc, argv));
    if (early.help) {
        std::fputs(GuiUsage().c_str(), stdout);
        return 0;
    }
    if (early.version) {
        std::puts("Zembra 2.4.0");
        return 0;
    }

    QApplication app(argc, argv); // takes Qt's own options out of argv
    const GuiArguments args = ParseGuiArguments(Arguments(argc, argv));
    if (!args.error.empty()) {
        std::fprintf(stderr, "zembra: %s\n\n%s", args.error.c_str(), GuiUsage().c_str());
        return 2;
    }
    if (args.fontSize > 0) {
        QFont font = QApplication::font();
        font.setPointSize(args.fontSize);
        QApplication::setFont(font);
    }
    QApplication::setApplicationName(QStringLiteral("Zembra"));
    QApplication::setApplicationVersion(QStringLiteral("2.4.0"));
    QApplication::setDesktopFileName(QStringLiteral("zembra"));

    MainWindow window({.scale = 0, .onEnd = [] { QCoreApplication::exit(0); }});
    StartUp(window.form(), args.commandLine);
    window.view().syncCaption();
    window.view().show();
    if (!args.add.empty())
        window.AddPictures(args.add);
    if (!args.importFolder.empty()) {
        window.form().Command9.Click();
        if (ImportWindow* import = window.importWindow()) {
            try {
                import->form().Dir1.setPath(args.importFolder);
                import->form().Check1.setValue(1);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "zembra: %s: %s\n", args.importFolder.c_str(), e.what());
            }
        }
    }
    if (!args.screenshot.empty())
        ScheduleScreenshot(window, args.screenshot);
    return QApplication::exec();
}
