#pragma once

#include "graph/GraphFrame.h"

#include <QImage>
#include <QWidget>

// The graph's drawing surface. It keeps the last frame drawn on it and a picture of that frame at the
// screen's device pixel ratio; when the ratio changes (another screen, another scale) the picture
// is drawn again from the frame, so the graph is always as sharp as the window's text. Its inner
// size is the widget's size: the surface has no border.
class GraphSurface : public QWidget
{
    Q_OBJECT

public:
    explicit GraphSurface(QWidget* parent = nullptr);

    // The picture in device pixels, as the screen shows it.
    const QImage& image() const { return m_image; }
    // Replaces what the surface shows, on a white background at the surface's current size.
    void showFrame(GraphFrame frame);

signals:
    void mouseReleased(Qt::MouseButton button, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void drawPicture();

    GraphFrame m_frame;
    // The part of the surface the frame still covers: what a narrower surface cut off stays white
    // when the surface widens again, until the next frame.
    QRect m_shown;
    QImage m_image;
};
