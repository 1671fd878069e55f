#include "platform/form.h"

namespace zembra {

Control* Form::Find(const std::string& name) const {
    for (Control* control : controls_) {
        if (control->Name() == name)
            return control;
    }
    return nullptr;
}

} // namespace zembra
