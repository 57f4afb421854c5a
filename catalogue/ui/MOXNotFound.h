#pragma once

#include <QDialog>

class PictureBox;
class QLabel;
class QPushButton;

// The notice that a search reached the end without a match: the text looked for in
// double quotes, "not found.", and OK. It is as wide as its message needs and never
// narrower than its design width.
class TfrmNotFound : public QDialog
{
    Q_OBJECT
public:
    static constexpr int DesignWidth = 174;  // the narrowest inner width
    static constexpr int MessageLeft = 48;
    static constexpr int Margin = 54;        // inner width beyond the message's
    static constexpr int ButtonWidth = 75;

    explicit TfrmNotFound(QWidget *mainWindow);

    // Shows the notice for `text` modally until the user closes it.
    void showFor(const QString &text);
    // What every showing does first: centres the notice on the main window (by its width
    // so far), words the message and sizes the notice and its button to it.
    void prepareFor(const QString &text);

private:
    QWidget *m_mainWindow;
    PictureBox *m_picture;
    QLabel *lblMessage;
    QPushButton *m_ok;
};
