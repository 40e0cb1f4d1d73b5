#include "app/WrapCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

WrapCheckBox::WrapCheckBox(QWidget* parent)
    : QCheckBox(parent)
{ }

void WrapCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    QStyleOptionButton indicator = option;
    indicator.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, indicator);

    const QRect area = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    painter.drawItemText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, palette(),
        isEnabled(), option.text, QPalette::WindowText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = area;
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool WrapCheckBox::hitButton(const QPoint& position) const
{
    // The style's own hit area follows a one-line caption and would miss the wrapped lines.
    return rect().contains(position);
}
