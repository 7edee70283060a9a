// TAutoSize: fixes its window's client area so that it ends at the
// bottom-right corner of the helper's bounds, before the window is first
// shown, and never changes the window's size after that first showing.
#pragma once

#include <QObject>
#include <QRect>

class QWidget;

namespace ov::ui {

class TAutoSize : public QObject {
    Q_OBJECT
public:
    // `owner` must be a window (a top-level widget or a dialog); anything
    // else throws std::invalid_argument. The helper is owned by the window.
    explicit TAutoSize(QWidget* owner);
    ~TAutoSize() override;

    // Places the helper in the owner's client area. While the owner has not
    // yet been shown, every change resizes the client area at once.
    void SetBounds(int left, int top, int width, int height);
    QRect Bounds() const { return FBounds; }

    // True once the owner has been shown for the first time.
    bool Sized() const { return FSized; }

    // Sets the owner's client area to (left + width) x (top + height) and
    // fixes it there.
    virtual void ApplyClientSize();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* FOwner;
    QRect FBounds;
    bool FSized = false;
};

} // namespace ov::ui
