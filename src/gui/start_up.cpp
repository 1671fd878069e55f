#include "gui/start_up.h"

namespace zembra {

void StartUp(Form1& form, [[maybe_unused]] const std::string& commandLine) {
    // Form_Load does not read the command line yet; once it takes the text, it is
    // passed on from here and nothing else changes for the executable.
    form.Form_Load();
}

} // namespace zembra
