// The console on a scripted controller: a fresh home with default settings, virtual time, a
// scripted port and message boxes that are recorded instead of shown. For window tests, with
// what they click, type and script.
#pragma once

#include "console/console.h"
#include "controls.h"
#include "platform/virtual/scriptedport.h"
#include "platform/virtual/virtualtime.h"
#include "recordingui.h"
#include "scriptedlink.h"
#include "setup/settingsfile.h"
#include "temphome.h"
#include "ui/windowset.h"

#include <QTest>

namespace pkivo::test {

struct ConsoleFixture {
    ConsoleFixture() {
        QVERIFY(initparams(console.sysparams, ui));
        port.setSettings("57600,n,8,1");
        port.open();
    }

    LinkGlobals& g() { return console.link.globals(); }

    TempHome home;
    RecordingUi ui;
    VirtualTime time;
    ScriptedPort port{time};
    Console console{port, time, ui};
    WindowSet windows{console};
};

} // namespace pkivo::test
