// Message boxes of the console: a real box with one OK button (Yes and No for a question) and the
// program's title.
#pragma once

#include "platform/uiservices.h"

namespace pkivo {

class QtUiServices : public UiServices {
public:
    void messageBox(const std::string& text) override;
    bool question(const std::string& text) override;
    // Asks the event loop to end; at start-up, before it runs, initparams' false ends main().
    void endProgram() override;
};

} // namespace pkivo
