#include "app/OriginLink.h"

#include "links/LinkLauncher.h"
#include "settings/NormalizeText.h"
#include "widgets/data/DBEdit.h"

#include <QEvent>

OriginLink::OriginLink(DBEdit &origin, QObject *owner)
    : QObject(owner), m_origin(origin), m_platform(platformLinkLauncher()), m_launcher(m_platform.get())
{
    setObjectName(QStringLiteral("originLink"));
}

OriginLink::~OriginLink() = default;

void OriginLink::setLauncher(LinkLauncher *launcher)
{
    m_launcher = launcher ? launcher : m_platform.get();
}

void OriginLink::connectControls()
{
    m_origin.installEventFilter(this);
}

bool OriginLink::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_origin && event->type() == QEvent::MouseButtonDblClick)
        edtOriginDblClick();
    return QObject::eventFilter(watched, event);
}

void OriginLink::edtOriginDblClick()
{
    const QString address = m_origin.text();
    if (TrimControls(address).isEmpty())
        return;
    m_launcher->launch(address);
}
