#include "ui/auto_size.h"

#include <QEvent>
#include <QWidget>

#include <stdexcept>

namespace ov::ui {

namespace {

QWidget* RequireWindow(QWidget* owner)
{
    if (owner == nullptr || !owner->isWindow())
        throw std::invalid_argument("Invalid class typecast");
    return owner;
}

} // namespace

TAutoSize::TAutoSize(QWidget* owner)
    : QObject(RequireWindow(owner)), FOwner(owner)
{
    setObjectName(QStringLiteral("AutoSize1"));
    FOwner->installEventFilter(this);
}

// Qt drops the event filter of a deleted object by itself, so the owner's
// events go straight to the owner again once the helper is gone.
TAutoSize::~TAutoSize() = default;

void TAutoSize::SetBounds(int left, int top, int width, int height)
{
    FBounds = QRect(left, top, width, height);
    if (!FSized)
        ApplyClientSize();
}

void TAutoSize::ApplyClientSize()
{
    // A window's client area can only be held at one size through its
    // minimum and maximum; both windows of the program have fixed sizes.
    FOwner->setFixedSize(FBounds.left() + FBounds.width(), FBounds.top() + FBounds.height());
}

bool TAutoSize::eventFilter(QObject* watched, QEvent* event)
{
    // The show event reaches the window before it becomes visible.
    if (watched == FOwner && event->type() == QEvent::Show && !FSized) {
        ApplyClientSize();
        FSized = true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace ov::ui
