// What a window may ask of the main window's connection: opencomport again with the settings in
// memory, its result shown in the main window's BoardData1. The main window offers it through
// the WindowSet, so that no other window includes the main window.
#pragma once

#include "link/link.h"

namespace pkivo {

class Reconnector {
public:
    virtual ConnectResult reconnect() = 0;

protected:
    ~Reconnector() = default;
};

} // namespace pkivo
