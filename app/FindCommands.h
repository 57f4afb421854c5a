#pragma once

#include "catalogue/CatalogueTable.h"

#include <QObject>
#include <functional>

class QWidget;
struct MainForm;
struct ProgramSettings;

// Find and Find Next as the user meets them: the Find dialog, shown by the Find command
// and placed where it was left; the search from its text and fields, which shows the
// record found, or the not-found notice and then the record where it began.
class FindCommands : public QObject
{
public:
    struct Parts {
        QWidget &window;
        CatalogueTable &table;
        MainForm &form;
        ProgramSettings &settings;
    };
    explicit FindCommands(const Parts &parts);

    void connectControls();
    // The Find dialog exists now: its buttons search, and it stands at the stored find
    // position.
    void findDialogCreated();

    void ItmFindClick();
    void btnFindClick();
    void btnNextClick();

    // How the not-found notice reaches the user, with the text looked for: by default
    // the notice dialog, modally. Benchmarks take it away.
    using Notice = std::function<void(const QString &text)>;
    void setNotice(Notice notice) { m_notice = std::move(notice); }
    // A search that runs this long shows the busy cursor.
    static constexpr int BusyDelayMs = 500;
    void setBusyDelay(int ms) { m_busyDelayMs = ms; }

private:
    void search(SearchStart start);
    void showNotFound(const QString &text);

    Parts m_parts;
    Notice m_notice;
    int m_busyDelayMs = BusyDelayMs;
};
