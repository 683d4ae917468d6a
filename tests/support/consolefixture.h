// The console on a scripted controller: a fresh home with default settings, virtual time, a
// scripted port and message boxes that are recorded instead of shown. For window tests.
#pragma once

#include "app/program.h"
#include "platform/scriptedport.h"
#include "platform/virtualtime.h"
#include "recordingui.h"
#include "setup/settingsfile.h"
#include "temphome.h"

#include <QTest>

namespace pkivo::test {

struct ConsoleFixture {
    ConsoleFixture() {
        QVERIFY(initparams(program.sysparams, ui));
        port.setSettings("57600,n,8,1");
        port.open();
    }

    LinkGlobals& g() { return program.link.globals(); }

    TempHome home;
    RecordingUi ui;
    VirtualTime time;
    ScriptedPort port{time};
    Program program{port, time, ui};
};

} // namespace pkivo::test
