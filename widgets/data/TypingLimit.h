#pragma once

class QKeyEvent;
class QLineEdit;

// Typing stops at the field's size: a key whose text would make the box longer
// than `limit` characters is refused. A text set whole (a record loaded, a paste,
// a browse) is kept as it is, however long: the table refuses an over-long value
// when it is stored and names the field, so nothing is ever cut without a word.
bool typingExceedsLimit(const QLineEdit &edit, const QKeyEvent &event, int limit);

// The size of a text field of the catalogue, 0 for any other field.
int textFieldSize(int fieldPos);
