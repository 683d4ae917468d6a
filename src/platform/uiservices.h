// What the program asks of the desk: a message box with an OK button, a yes/no question before
// something that cannot be undone, and ending the program.
// The console shows real message boxes, the command line prints to stderr, tests record.
#pragma once

#include <string>

namespace pkivo {

class UiServices {
public:
    virtual ~UiServices() = default;
    // Shows `text` with only an OK button and returns when the user has closed it.
    virtual void messageBox(const std::string& text) = 0;
    // Asks `text` with Yes and No buttons; true only for Yes. No is the default answer.
    virtual bool question(const std::string& text) = 0;
    // Ends the program. Callers return at once after asking, so a test's recorder may return.
    virtual void endProgram() = 0;
};

} // namespace pkivo
