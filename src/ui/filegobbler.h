// The converter window "Kivo Converter & Downloader": converts the script into the flash data
// file ("Read Kivo File") and writes that file into the controller's flash ("Write to Flash").
#pragma once

#include "console/flashdownload.h"
#include "converter/conversion.h"
#include "platform/clock.h"
#include "ui/linkwindow.h"

#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class Filegobbler;
}

namespace pkivo {

class Filegobbler : public QWidget,
                    private LinkWindow,
                    private ConversionObserver,
                    private DownloadObserver {
    Q_OBJECT
public:
    explicit Filegobbler(Console& console);
    ~Filegobbler() override;

private:
    void onReadkivo();
    void onToflash();

    void passFinished(int passno, const Counters& counters, const std::string& text) override;
    void processingError(const std::string& message) override;
    void pageStarted(const std::string& pageText, int index, int total) override;

    void download();
    void showIndicator(const char* caption, const char* colour);
    void showElapsed();
    void showNoPages();

    std::unique_ptr<Ui::Filegobbler> m_ui;
    ConversionPaths m_paths; // taken from the settings when the window is made
    Conversion m_conversion; // keeps the label table while the window lives
    Millis m_downloadStart{0};
    QTimer* m_elapsedTicks; // the elapsed time moves while a page is on the wire
};

} // namespace pkivo
