#include "dxdraw.h"

#include "commands/messagebox.h"
#include "graphics/colors.h"

#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <QScreen>

namespace qm {

int64_t paintBackBuffer(QPainter &painter, const TDirectDrawSurface &surface, QPoint origin, const QRegion &region)
{
    const bool wide = surface.pixelFormat() == SurfacePixelFormat::Xrgb8888;
    const QImage image(surface.bits(), surface.Width(), surface.Height(), static_cast<qsizetype>(surface.pitch()),
                       wide ? QImage::Format_RGB32 : QImage::Format_RGB16);
    int64_t painted = 0;
    for (const QRect &r : region) {
        painter.drawImage(r.topLeft(), image, r.translated(-origin));
        painted += int64_t(r.width()) * r.height();
    }
    return painted;
}

TDXDraw::TDXDraw(QWidget *parent, SurfacePixelFormat format) : QWidget(parent), DrawTarget(format)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

TDXDraw::~TDXDraw() { destroyTarget(); }

SurfacePixelFormat TDXDraw::displayPixelFormat()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->depth() == 16 ? SurfacePixelFormat::Rgb565 : SurfacePixelFormat::Xrgb8888;
}

QPoint TDXDraw::bufferOrigin() const
{
    // Centred, each division truncating toward zero: (784 - 761) / 2 = 11, (480 - 483) / 2 = -1.
    return {(width() - SurfaceWidth()) / 2, (height() - SurfaceHeight()) / 2};
}

void TDXDraw::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!initializeCalled()) {
        // A picture that cannot be given a surface is reported like any other failure; the
        // window goes on without it.
        try {
            Initialize();
        } catch (const std::exception &e) {
            showError(QString::fromLatin1(e.what()), window());
        }
    }
}

void TDXDraw::present(const TDirectDrawSurface &)
{
    ++mPresents;
    update();
}

void TDXDraw::presentChanged(const std::vector<TRect> &changed)
{
    if (!ReadyToDraw())
        return;
    ++mPresents;
    if (!mHint.isEmpty()) { // the hint lies over the whole control
        update();
        return;
    }
    const QPoint origin = bufferOrigin();
    QRegion region;
    for (const TRect &r : changed)
        region += QRect(r.left + origin.x(), r.top + origin.y(), int(r.width()), int(r.height()));
    update(region);
}

void TDXDraw::setHint(const QString &hint)
{
    mHint = hint;
    update();
}

void TDXDraw::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const TColor face = resolveColor(clBtnFace);
    const QColor faceColour(colorRed(face), colorGreen(face), colorBlue(face));
    const TDirectDrawSurface &surface = Surface();
    if (!Initialized() || !surface.exists()) {
        painter.fillRect(rect(), faceColour);
        return;
    }
    // Only the parts asked for are painted: the back buffer where it lies, the face colour around it.
    const QRect buffer(bufferOrigin(), QSize(surface.Width(), surface.Height()));
    for (const QRect &r : event->region() - buffer)
        painter.fillRect(r, faceColour);
    mPaintedPixels += paintBackBuffer(painter, surface, buffer.topLeft(), event->region() & buffer);
    if (!mHint.isEmpty()) {
        painter.setPen(QColor(200, 200, 200));
        painter.drawText(rect(), Qt::AlignCenter, mHint);
    }
}

void TDXDraw::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(event->button(), event->position().toPoint());
}

void TDXDraw::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(event->position().toPoint());
}

void TDXDraw::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (OnResize)
        OnResize(event->size());
}

void TDXDraw::mouseReleaseEvent(QMouseEvent *event)
{
    if (OnMouseUp)
        OnMouseUp(event->button(), event->position().toPoint());
}

} // namespace qm
