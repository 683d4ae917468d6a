// UiServices for tests: remembers every message box and whether the program was ended.
#pragma once

#include "platform/uiservices.h"

#include <string>
#include <vector>

namespace pkivo::test {

class RecordingUi : public UiServices {
public:
    void messageBox(const std::string& text) override { messages.push_back(text); }
    void endProgram() override { ended = true; }

    std::vector<std::string> messages;
    bool ended = false;
};

} // namespace pkivo::test
