#pragma once
// The drawing-surface control of the main window: a widget that owns the back buffer and shows it.
//
// It initialises itself when it is first shown and finalises when it is destroyed. Flip() presents
// the back buffer centred in the control and unscaled: with the editor's sizes (a 761 x 483 buffer in
// a 784 x 480 control) back-buffer pixel (x, y) lands on control pixel (x + 11, y - 1); the columns
// the buffer does not reach show the control's background colour. Presentation is paced by the frame
// loop to the display's refresh rate (see IdleHost), in place of waiting for the vertical blank.

#include "graphics/drawtarget.h"

#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <vector>

namespace qm {

// Paints the part of the back buffer within `region` (control coordinates) with its pixel (0, 0) at
// origin, without a copy of its own; returns the pixels painted.
int64_t paintBackBuffer(QPainter &painter, const TDirectDrawSurface &surface, QPoint origin, const QRegion &region);

class TDXDraw : public QWidget, public DrawTarget {
    Q_OBJECT
public:
    // format: the display's pixel format (displayPixelFormat() gives that of the screen).
    TDXDraw(QWidget *parent, SurfacePixelFormat format);
    ~TDXDraw() override;

    static SurfacePixelFormat displayPixelFormat();

    // Where back-buffer pixel (0, 0) lands in the control.
    QPoint bufferOrigin() const;

    // Mouse events in control coordinates, which the editor uses unchanged as surface positions.
    std::function<void(Qt::MouseButton button, QPoint position)> OnMouseDown, OnMouseUp;
    std::function<void(QPoint position)> OnMouseMove;
    // After the control's size changed (the window was resized or maximised).
    std::function<void(QSize size)> OnResize;

    int presentCount() const { return mPresents; }
    // Flip for a frame that changed only within the given back-buffer rectangles: only they are
    // painted again.
    void presentChanged(const std::vector<TRect> &changed);
    // Back-buffer pixels painted into the window since it was made.
    int64_t paintedPixels() const { return mPaintedPixels; }

    // A line shown over the control while it has nothing of its own to show (no level open).
    void setHint(const QString &hint);
    QString hint() const { return mHint; }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    bool hasForm() const override { return window() != this; }
    void present(const TDirectDrawSurface &backBuffer) override;

private:
    int mPresents = 0;
    int64_t mPaintedPixels = 0;
    QString mHint;
};

} // namespace qm
