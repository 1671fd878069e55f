// The settings reader on arbitrary bytes: every matching line goes through the controls.
#include "main/form1.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {
struct NoHost : zembra::Services {
    void MsgBox(const std::string&) override {}
    std::string ShowOpen(const zembra::OpenFileRequest&) override { return {}; }
    std::string ClipboardText() override { return {}; }
    void ClearClipboard() override {}
    void DoEvents() override {}
    bool HasDisplay() const override { return false; }
};
struct NoFiles : zembra::Files {
    bool Exists(const std::string&) const override { return false; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static NoHost host;
    static NoFiles files;
    zembra::Form1 form(host, files);
    form.Form_Load();
    form.ApplyConfig(std::string_view(reinterpret_cast<const char*>(data), size));
    if (form.ConfigLines().size() != 20)
        __builtin_trap(); // whatever was read, the writer gives its 20 lines
    return 0;
}
