// The screen-wide hourglass for the life of one object: set at creation,
// reset at destruction, also when the work in between fails.
#pragma once

#include <QApplication>

namespace ov::ui {

class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

} // namespace ov::ui
