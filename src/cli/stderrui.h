// Message boxes of the command line: the text goes to stderr. Ending the program is left to the
// command, which returns its exit status once the routine that asked for it has returned.
#pragma once

#include "platform/uiservices.h"

#include <iostream>

namespace pkivo::cli {

class StderrUi : public UiServices {
public:
    void messageBox(const std::string& text) override { std::cerr << text << '\n'; }
    void endProgram() override {}
};

} // namespace pkivo::cli
