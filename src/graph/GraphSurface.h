#pragma once

#include <QImage>
#include <QWidget>

// The graph's drawing surface: a persistent image that keeps what was drawn on it until it is
// cleared, and is put on the screen whenever the widget is exposed. Its inner size is the widget's
// size: the surface has no border.
class GraphSurface : public QWidget
{
    Q_OBJECT

public:
    explicit GraphSurface(QWidget* parent = nullptr);

    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }

    int scaleWidth() const { return width(); }
    int scaleHeight() const { return height(); }
    // Fills the picture with the white background, at the widget's current size.
    void clear();
    // Puts the finished picture on the screen.
    void refresh() { update(); }
    int textWidth(const QString& text) const;
    int textHeight(const QString& text) const;

    // The narrow face at 9 pixels, which is 6.75 points at 96 dots per inch, without antialiasing so
    // that text keeps the series colour exactly.
    static QFont surfaceFont();

signals:
    void mouseReleased(Qt::MouseButton button, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_image;
};
