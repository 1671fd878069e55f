// Times a folder import through the import dialog: COUNT empty pictures in a new
// folder, "Add Folder", then "Import Folder(s)" until the main window's list shows
// them all. Runs on any Qt platform (QT_QPA_PLATFORM=offscreen needs no display).
//   import_bench [COUNT]   (default 40000)
#include "gui/main_window.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    using namespace zembra;
    using Clock = std::chrono::steady_clock;
    const int count = argc > 1 ? std::atoi(argv[1]) : 40000;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zembra-import-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "home");
    ::setenv("HOME", (folder / "home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    for (int i = 0; i < count; ++i)
        std::ofstream(folder / ("p" + std::to_string(100000 + i) + ".jpg"));

    QApplication app(argc, argv);
    MainWindow window({.scale = 1.0, .onEnd = {}});
    window.form().Form_Load();
    window.view().show();
    window.form().Command9.Click();
    ImportWindow* import = window.importWindow();
    if (!import)
        return 1;
    import->form().Dir1.setPath(folder.string());
    import->form().Command3.Click(); // Add Folder
    QApplication::processEvents();

    const auto start = Clock::now();
    import->form().Command1.Click(); // Import Folder(s)
    QApplication::processEvents();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%d pictures imported in %.2f s; list holds %d\n", count, seconds,
                window.form().List3.ListCount());
    std::filesystem::remove_all(folder);
    return window.form().List3.ListCount() == count ? 0 : 1;
}
