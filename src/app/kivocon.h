// The main window "PKivo Main Control": the connection, the run controls, the status of the
// running program and the menus that open every other window.
#pragma once

#include "app/statusmonitor.h"

#include <QMainWindow>
#include <memory>

namespace Ui {
class Kivocon;
}

namespace pkivo {

struct Program;
class Aboutform;
class Filegobbler;
class ReleaseNotes;

class Kivocon : public QMainWindow {
    Q_OBJECT
public:
    explicit Kivocon(Program& program, QWidget* parent = nullptr);
    ~Kivocon() override;

    // The rest of start-up once the window is up: status texts, then the port and the
    // connect check (opencomport), whose result shows in BoardData1.
    void startUp();
    // The converter window, created on first use.
    Filegobbler& filegobbler();

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

    std::unique_ptr<Ui::Kivocon> m_ui;
    Program& m_program;
    StatusDisplay m_status;
    std::unique_ptr<Filegobbler> m_filegobbler;
    std::unique_ptr<Aboutform> m_about;
    std::unique_ptr<ReleaseNotes> m_releaseNotes;
};

} // namespace pkivo
