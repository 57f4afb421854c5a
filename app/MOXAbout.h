#pragma once

#include <QDialog>

class CreditsPanel;
class EmbossedLabel;
class PictureBox;
class QFrame;
class QLabel;
class QPushButton;

// The About box. It centres itself over the main window each time it is shown;
// Alt with a double click on the picture rolls the credits over it.
class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 282;
    static constexpr int ClientHeight = 258;

    explicit TfrmAbout(QWidget *mainWindow = nullptr);

    // Top-left corner that centres a window of ownSize over mainFrame; the
    // halving truncates toward zero, also for a box wider than the main window.
    static QPoint centredTopLeft(const QRect &mainFrame, const QSize &ownSize);

    bool creditsRunning() const;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void imgAboutDblClick(Qt::KeyboardModifiers modifiers);
    void startCredits();
    void stopCredits();

    QWidget *m_mainWindow;
    QFrame *m_pnlAbout;
    EmbossedLabel *m_lblTitle;
    QLabel *m_lblVersion;
    QLabel *m_lblText;
    PictureBox *m_imgAbout;
    QLabel *m_lblFreeware;
    QLabel *m_lblMail;
    CreditsPanel *m_pnlCredits;
    QPushButton *m_btnOK;
};
