#include "app/WrapPushButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

WrapPushButton::WrapPushButton(QWidget* parent)
    : QPushButton(parent)
{ }

void WrapPushButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    // The style draws the bevel and focus frame; the caption is laid out here so that it can wrap.
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, palette(), isEnabled(),
        caption, QPalette::ButtonText);
}
