#include "gui/start_up.h"

namespace zembra {

void StartUp(Form1& form, const std::string& commandLine) {
    form.Form_Load(commandLine);
}

} // namespace zembra
