#pragma once
// A loaded main window with scripted services, and helpers that act as a user would.

#include "main/form1.h"
#include "platform/text.h"
#include "support/scripted_services.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zembra::testing {

class FormTest : public ::testing::Test {
  protected:
    ScriptedServices services;
    Form1 form{services};
    TempDir dir;
    std::vector<std::string> failures; // what the runs reported, in order

    void SetUp() override {
        form.onFailure = [this](const std::string& m) { failures.push_back(m); };
        form.Form_Load();
    }

    // "Add Pic(s)" with one chosen file.
    void Add(const std::string& path) {
        services.dialogAnswers.push_back(path);
        form.Command7.Click();
    }
    // Writes the files into the temporary folder and lists them.
    void AddFiles(const std::vector<std::string>& names) {
        for (const auto& name : names)
            Add(dir.Write(name));
    }
    // Chooses the action and the base name, then "Process All".
    void Run(int action, const std::string& name = "New") {
        form.Combo2.setListIndex(action);
        form.Text1.setText(name);
        form.Command1_Click();
    }
    std::vector<std::string> Entries(const ListControl& list) const {
        std::vector<std::string> out;
        for (int i = 0; i < list.ListCount(); ++i)
            out.push_back(list.List(i));
        return out;
    }
};

} // namespace zembra::testing
