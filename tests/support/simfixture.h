// The console on the virtual controller run in-process on virtual time: a fresh home with
// default settings and message boxes that are recorded instead of shown. For window tests that
// want a whole controller rather than a script.
#pragma once

#include "console/console.h"
#include "recordingui.h"
#include "setup/settingsfile.h"
#include "sim/simport.h"
#include "temphome.h"
#include "ui/windowset.h"

#include <QTest>

namespace pkivo::test {

struct SimFixture {
    explicit SimFixture(sim::ProtocolOptions options = {}) : line(std::move(options)) {
        QVERIFY(initparams(console.sysparams, ui));
        QVERIFY(line.port.open());
    }

    TempHome home;
    RecordingUi ui;
    sim::SimulatedLine line;
    Console console{line.port, line.time, ui};
    WindowSet windows{console};
};

} // namespace pkivo::test
