#pragma once

#include <QImage>
#include <QWidget>

// The graph's drawing surface: a persistent image that keeps what was drawn on it until it is
// cleared, and is put on the screen whenever the widget is exposed.
class GraphSurface : public QWidget
{
    Q_OBJECT

public:
    explicit GraphSurface(QWidget* parent = nullptr);

    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }

signals:
    void mouseReleased(Qt::MouseButton button, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_image;
};
