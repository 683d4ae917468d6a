// The converter window "Kivo Converter & Downloader": converts the script into the flash data
// file ("Read Kivo File") and writes that file into the controller's flash ("Write to Flash").
#pragma once

#include "converter/conversion.h"
#include "converter/flashdownload.h"

#include "platform/clock.h"

#include <QWidget>
#include <memory>

namespace Ui {
class Filegobbler;
}

namespace pkivo {

struct Program;

class Filegobbler : public QWidget, private ConversionObserver, private DownloadObserver {
    Q_OBJECT
public:
    Filegobbler(Program& program, QWidget* parent = nullptr);
    ~Filegobbler() override;

private:
    void onReadkivo();
    void onToflash();

    void passFinished(int passno, const Counters& counters, const std::string& text) override;
    void processingError(const std::string& message) override;
    void pageStarted(const std::string& pageText, int index, int total) override;

    void disablebuttons();
    void enablebuttons();
    void showIndicator(const char* caption, const char* colour);
    void showElapsed();

    std::unique_ptr<Ui::Filegobbler> m_ui;
    Program& m_program;
    ConversionPaths m_paths; // taken from the settings when the window is made
    Conversion m_conversion; // keeps the label table while the window lives
    Millis m_downloadStart{0};
};

} // namespace pkivo
