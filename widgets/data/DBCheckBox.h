#pragma once

#include <QCheckBox>

class DataSource;
class FieldDataLink;

// Check box bound to a flag field: checked stores True, unchecked False; a flag
// without a value shows unchecked. A user click writes the record (starting to
// edit it) before clicked() is emitted.
class DBCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget *parent = nullptr);
    explicit DBCheckBox(const QString &text, QWidget *parent = nullptr);

    void setDataSource(DataSource *source);
    DataSource *dataSource() const;
    void setFieldPos(int pos);
    int fieldPos() const;

signals:
    void errorRaised(const QString &message);

private:
    void load();
    void onToggled(bool checked);

    FieldDataLink *m_link;
    bool m_loading = false;
};
