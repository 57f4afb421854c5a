#pragma once

#include "catalogue/DataSource.h"

#include <QWidget>
#include <array>

class DataSourceLink;
class QToolButton;

// The record navigator: nine buttons that move through and edit the table behind
// a data source. Each button runs the table operation of its name; a delete asks
// nothing itself (the table's before-delete handler does).
class DBNavigator : public QWidget
{
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, ButtonCount };
    Q_ENUM(Button)

    static constexpr int DesignWidth = 216;
    static constexpr int DesignHeight = 25;

    explicit DBNavigator(QWidget *parent = nullptr);

    void setDataSource(DataSource *source);
    DataSource *dataSource() const;

    QToolButton *button(Button which) const { return m_buttons[which]; }
    // "Short|Long": the short part is the tool tip and the accessible name, the
    // long part the accessible description (and the status-bar text).
    QString hint(Button which) const;
    void setHint(Button which, const QString &hint);

    // Runs the button's operation as a click does (also when it is disabled).
    void run(Button which);

    QSize sizeHint() const override { return {DesignWidth, DesignHeight}; }

signals:
    void clicked(DBNavigator::Button which);  // after the operation, also when it failed
    void errorRaised(const QString &message);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateButtons();
    void layoutButtons();

    DataSourceLink *m_source;
    std::array<QToolButton *, ButtonCount> m_buttons{};
    std::array<QString, ButtonCount> m_hints;
};
