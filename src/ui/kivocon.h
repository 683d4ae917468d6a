// The main window "PKivo Main Control": the connection, the run controls, the status of the
// running program and the menus that open every other window.
#pragma once

#include "console/statusmonitor.h"
#include "ui/linkwindow.h"
#include "ui/reconnector.h"

#include <QMainWindow>
#include <memory>

namespace Ui {
class Kivocon;
}

namespace pkivo {

class LineKeeper;
class WindowSet;

class Kivocon : public QMainWindow, private LinkWindow, public Reconnector {
    Q_OBJECT
public:
    Kivocon(Console& console, WindowSet& windows);
    ~Kivocon() override;

    // The rest of start-up once the window is up: status texts, then the port and the
    // connect check (opencomport), whose result shows in BoardData1.
    void startUp();
    // opencomport with the settings in memory; BoardData1 shows the outcome.
    ConnectResult reconnect() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onRun();
    void onRunAtLine();
    void onPause();
    void onStop();
    void onMonitor();
    void onRefresh();

    void runCommand(const char* name, const std::string& runPacket);
    void runMonitor();
    void showStatus(const StatusDisplay& display);
    void showBoardInfo();
    void keepLine();

    std::unique_ptr<Ui::Kivocon> m_ui;
    WindowSet& m_windows;
    LineKeeper* m_keeper; // none in tests that do not need it: the menu entry is then disabled
    StatusDisplay m_status;
};

} // namespace pkivo
