#include "app/ImageCommands.h"

#include "app/ErrorReport.h"
#include "app/FileDialogs.h"
#include "app/MainForm.h"
#include "app/MinimisedApplication.h"
#include "catalogue/CatalogueTable.h"
#include "catalogue/FolderPath.h"
#include "images/BitmapFile.h"
#include "images/Delay.h"
#include "images/ScreenGrabber.h"
#include "images/ui/MOXCapture.h"
#include "settings/ProgramSettings.h"
#include "widgets/data/DBImage.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QToolButton>

namespace {
// Long enough for the windows beneath to repaint once the program's have gone.
constexpr int MinimiseWaitMs = 500;
// The same once the overlay has gone, before the square is copied from the screen.
constexpr int OverlayGoneWaitMs = 200;
} // namespace

ImageCommands::ImageCommands(const Parts &parts, QObject *owner)
    : QObject(owner), m_parts(parts), m_screen(std::make_unique<QtScreenGrabber>()), m_grabber(m_screen.get())
{
    setObjectName(QStringLiteral("imageCommands"));
}

ImageCommands::~ImageCommands() = default;

void ImageCommands::setScreenGrabber(ScreenGrabber *grabber)
{
    m_grabber = grabber ? grabber : m_screen.get();
}

void ImageCommands::connectControls()
{
    MainForm &f = m_parts.form;
    connect(f.sbCaptureOriginal, &QToolButton::clicked, this, [this] { sbCaptureOriginalClick(); });
    connect(f.sbCaptureCurrent, &QToolButton::clicked, this, [this] { sbCaptureCurrentClick(); });
    connect(f.imgOriginal, &DBImage::doubleClicked, this, [this] { imgOriginalDblClick(); });
    connect(f.imgCurrent, &DBImage::doubleClicked, this, [this] { imgCurrentDblClick(); });
}

void ImageCommands::sbCaptureOriginalClick() { capture(m_parts.form.imgOriginal); }
void ImageCommands::sbCaptureCurrentClick() { capture(m_parts.form.imgCurrent); }
void ImageCommands::imgOriginalDblClick() { save(m_parts.form.imgOriginal); }
void ImageCommands::imgCurrentDblClick() { save(m_parts.form.imgCurrent); }

void ImageCommands::inform(const QString &text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Moxarium"), text, QMessageBox::Ok, &m_parts.window);
    box.exec();
}

void ImageCommands::capture(DBImage *target)
{
    // The record is being edited first; an empty catalogue starts a new one.
    if (!ErrorReport::guarded(&m_parts.window, [this] { m_parts.table.edit(); }))
        return;
    // A desktop that lets no program copy it is told at once, before the windows go.
    if (m_grabber->grab(QRect(m_grabber->desktopArea().topLeft(), QSize(1, 1))).isNull()) {
        inform(m_grabber->refusal());
        return;
    }
    CaptureSquare square;
    QImage captured;
    bool accepted = false;
    bool refused = false;
    {
        const MinimisedApplication minimised;
        // A click meant for the program waits until the capture is over: its windows
        // are meant to be away, and a post in the middle would lose the picture.
        Delay(MinimiseWaitMs, QEventLoop::ExcludeUserInputEvents);
        {
            // No parent: a window manager hides the windows of a minimised one.
            TfrmCapture overlay(*m_grabber);
            if (!overlay.hasScreenCopy())
                refused = true;
            else if ((accepted = overlay.exec() == QDialog::Accepted))
                square = overlay.square();
        }
        if (!square.isEmpty()) {
            // Copied from the live screen while the program's windows are still away.
            Delay(OverlayGoneWaitMs, QEventLoop::ExcludeUserInputEvents);
            captured = m_grabber->grab(square.rect());
            refused = captured.isNull();
        }
    }
    // Told once the windows are back: a box of a minimised program may not show.
    if (refused) {
        inform(m_grabber->refusal());
        return;
    }
    // Closed without a release (by the window manager): nothing to take.
    if (!accepted)
        return;
    if (square.isEmpty()) {
        inform(QStringLiteral("Error creating selection rectangle.\nPlease, try again!"));
        return;
    }
    target->setImage(captured);
}

void ImageCommands::save(DBImage *image)
{
    const QImage picture = image->image();
    if (picture.isNull()) {
        inform(QStringLiteral("There is no picture to save."));
        return;
    }
    ProgramSettings &settings = m_parts.settings;
    FileDialogRequest request;
    request.title = QStringLiteral("Save as Bitmap");
    request.folder = settings.CurrentPaths[PathTask::SaveBitmap];
    request.defaultSuffix = QStringLiteral("bmp");
    request.filters = {QStringLiteral("All files (*)"), QStringLiteral("Bitmaps (*.bmp)")};
    request.filterIndex = 1;
    request.confirmCreate = true;
    const QString chosen = m_parts.fileDialogs.saveFile(&m_parts.window, request);
    if (chosen.isEmpty())
        return;
    const QString error = writeBitmapFile(picture, chosen);
    if (!error.isEmpty()) {
        ErrorReport::show(&m_parts.window, error);
        return;
    }
    if (settings.KeepPaths)
        settings.CurrentPaths[PathTask::SaveBitmap] = withTrailingSeparator(QFileInfo(chosen).absolutePath());
}
