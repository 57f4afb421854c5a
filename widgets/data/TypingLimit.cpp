#include "widgets/data/TypingLimit.h"

#include "catalogue/CatalogueSchema.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

qsizetype characters(const QString &text)
{
    return text.toUcs4().size();
}

} // namespace

bool typingExceedsLimit(const QLineEdit &edit, const QKeyEvent &event, int limit)
{
    if (limit <= 0 || edit.isReadOnly())
        return false;
    // Only keys that insert text; shortcuts and editing keys pass.
    const QString typed = event.text();
    if (typed.isEmpty() || (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    for (const QChar c : typed) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    const qsizetype after = characters(edit.text()) - characters(edit.selectedText()) + characters(typed);
    // A text that is over the limit already may still be shortened.
    return after > limit;
}

int textFieldSize(int fieldPos)
{
    if (fieldPos < 0 || fieldPos >= CatalogueSchema::FieldCount)
        return 0;
    const CatalogueSchema::FieldDef &def = CatalogueSchema::fields()[fieldPos];
    return def.kind == CatalogueSchema::FieldKind::String ? def.size : 0;
}
