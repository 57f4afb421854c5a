#include "widgets/data/EditCommandTarget.h"

#include <QWidget>

EditCommandTarget *EditCommandTarget::forWidget(QWidget *widget)
{
    // A combo box's line edit, or the viewport of a memo, hands the focus event to a
    // child; walk up a little so the owning control answers.
    for (int depth = 0; widget && depth < 3; ++depth, widget = widget->parentWidget()) {
        if (auto *target = dynamic_cast<EditCommandTarget *>(widget))
            return target;
    }
    return nullptr;
}
