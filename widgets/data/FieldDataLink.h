#pragma once

#include "catalogue/DataSource.h"

#include <QObject>
#include <QVariant>

class DataSourceLink;
class Field;

// Binds one control to one field of the table behind a data source. It tells the
// control when to show the field again and writes the control's value into the
// record, starting to edit it first. Notifications that the link's own write
// causes are not passed back, so a control never reloads over its own input.
// Controls write what they show: the record itself keeps an empty text or
// picture as no value.
class FieldDataLink : public QObject
{
    Q_OBJECT
public:
    explicit FieldDataLink(QObject *parent = nullptr);

    void setDataSource(DataSource *source);
    DataSource *dataSource() const;
    void setFieldPos(int pos);
    int fieldPos() const { return m_fieldPos; }

    CatalogueTable *table() const;
    Field *field() const;            // nullptr while unbound
    bool active() const;             // bound to an open table
    bool editing() const;            // the record is being edited or inserted
    // Null while not active, and when the value cannot be read (another program holds
    // the catalogue locked): the failure goes to errorRaised, and until a later read
    // succeeds the control takes no input, so nothing is typed over unseen text.
    QVariant value();
    bool canEdit() const { return active() && !m_unread; }

    // Both start editing the current record when it is not being edited yet and
    // report a failure through errorRaised (nothing for a silent abort).
    bool edit();
    bool write(const QVariant &value);

signals:
    void dataChanged();      // show the field's value again
    void editableChanged();  // active, read-only or editing state changed
    void errorRaised(const QString &message);

private:
    void onFieldChanged(int pos);
    void relayData();
    void relayEditable();
    template <typename Op> bool run(Op &&op);

    void setUnread(bool unread, const QString &reason = {});

    DataSourceLink *m_source;
    int m_fieldPos = -1;
    bool m_writing = false;
    bool m_unread = false;
};
