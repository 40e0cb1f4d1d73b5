#pragma once

#include <QColor>
#include <QWidget>

// An unfilled dotted rectangle drawn over other controls. It takes no mouse input, so clicks and
// tool tips reach the controls it frames.
class BorderShape : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BorderShape)
    Q_PROPERTY(QColor outlineColour READ outlineColour WRITE setOutlineColour)

public:
    explicit BorderShape(QWidget* parent = nullptr);

    QColor outlineColour() const { return m_outlineColour; }
    void setOutlineColour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_outlineColour = Qt::black;
};
