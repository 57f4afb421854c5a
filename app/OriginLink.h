#pragma once

#include <QObject>
#include <memory>

class DBEdit;
class LinkLauncher;

// A double click on the record page's Origin box opens its address in a browser.
class OriginLink : public QObject
{
    Q_OBJECT
public:
    // A child of `owner`, named "originLink", so tests can give it a launcher.
    OriginLink(DBEdit &origin, QObject *owner);
    ~OriginLink() override;

    void connectControls();
    // Nothing for a text of blanks; otherwise the whole text, blanks and all.
    void edtOriginDblClick();

    // The way addresses are opened; this platform's unless a test gives its own.
    void setLauncher(LinkLauncher *launcher);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DBEdit &m_origin;
    std::unique_ptr<LinkLauncher> m_platform;
    LinkLauncher *m_launcher;
};
