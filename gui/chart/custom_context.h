#pragma once

#include <functional>

#include <QRect>

class QPainter;
class QWidget;

//! Base of the drawing contexts of custom-drawn controls: the owning control, the drawing
//! rectangle and the surface painted on. A property change asks the control to redraw.
class TCustomContextTAV {
public:
    explicit TCustomContextTAV(QWidget* owner);
    virtual ~TCustomContextTAV();
    TCustomContextTAV(const TCustomContextTAV&) = delete;
    TCustomContextTAV& operator=(const TCustomContextTAV&) = delete;

    QWidget* Owner() const { return owner_; }

    //! Rectangle to draw into, in the surface's coordinates.
    const QRect& Rect() const { return rect_; }
    void SetRect(const QRect& rect);

    //! Surface of the running paint; null outside a paint.
    QPainter* Canvas() const { return canvas_; }
    void SetCanvas(QPainter* canvas) { canvas_ = canvas; }

    //! Replaces the owner's plain repaint as the answer to a change (the chart routes it
    //! through its begin/end update).
    std::function<void()> OnInvalidate;

    //! Draws the context onto Canvas() within Rect(). The base draws a white rectangle with
    //! its name in the middle.
    virtual void Paint();

protected:
    //! A property changed: drop what was derived from the old state and ask for a redraw.
    virtual void Changed();
    //! Called when the rectangle changed; derived contexts drop their geometry here.
    virtual void RectChanged() {}

private:
    QWidget* owner_ = nullptr;
    QRect rect_;
    QPainter* canvas_ = nullptr;
};
