// UiServices for tests: remembers every message box and question, answers questions with
// `answer`, and remembers whether the program was ended.
#pragma once

#include "platform/uiservices.h"

#include <string>
#include <vector>

namespace pkivo::test {

class RecordingUi : public UiServices {
public:
    void messageBox(const std::string& text) override { messages.push_back(text); }
    bool question(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
    void endProgram() override { ended = true; }

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = false;
    bool ended = false;
};

} // namespace pkivo::test
