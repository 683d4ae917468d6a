// Message boxes of the command line: the text goes to stderr, and a question is answered on the
// terminal. Ending the program is left to the
// command, which returns its exit status once the routine that asked for it has returned.
#pragma once

#include "platform/uiservices.h"

#include <iostream>
#include <string>
#include <unistd.h>

namespace pkivo::cli {

class StderrUi : public UiServices {
public:
    void messageBox(const std::string& text) override { std::cerr << text << '\n'; }
    // Asked on the terminal; with no terminal to ask on (stdin redirected) the answer is no.
    bool question(const std::string& text) override {
        std::cerr << text << '\n';
        if (isatty(STDIN_FILENO) == 0) {
            std::cerr << "No terminal to answer on: not done.\n";
            return false;
        }
        std::cerr << "Yes or no? [y/N] " << std::flush;
        std::string answer;
        std::getline(std::cin, answer);
        return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
    }
    void endProgram() override {}
};

} // namespace pkivo::cli
