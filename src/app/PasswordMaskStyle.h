#pragma once

#include <QProxyStyle>

// The application's style with "*" as the character that hides each character of a password.
class PasswordMaskStyle : public QProxyStyle
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordMaskStyle)

public:
    explicit PasswordMaskStyle(QStyle* base);

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
        QStyleHintReturn* returnData = nullptr) const override;
};
