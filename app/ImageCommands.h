#pragma once

#include <QObject>
#include <memory>

class CatalogueTable;
class DBImage;
class FileDialogs;
class QWidget;
class ScreenGrabber;
struct MainForm;
struct ProgramSettings;

// The palette images of the record page: the capture buttons take a 32 x 32 square
// from the screen into an image, a double click on an image saves it as a bitmap file.
class ImageCommands : public QObject
{
    Q_OBJECT
public:
    struct Parts {
        QWidget &window;
        CatalogueTable &table;
        MainForm &form;
        ProgramSettings &settings;
        FileDialogs &fileDialogs;
    };
    // A child of `owner`, named "imageCommands", so tests can give it a screen.
    ImageCommands(const Parts &parts, QObject *owner);
    ~ImageCommands() override;

    void connectControls();

    void sbCaptureOriginalClick();
    void sbCaptureCurrentClick();
    void imgOriginalDblClick();
    void imgCurrentDblClick();

    // The screen the capture copies; the real one unless a test gives its own.
    void setScreenGrabber(ScreenGrabber *grabber);

private:
    void capture(DBImage *target);
    void save(DBImage *image);
    void inform(const QString &text);

    Parts m_parts;
    std::unique_ptr<ScreenGrabber> m_screen;
    ScreenGrabber *m_grabber;
};
