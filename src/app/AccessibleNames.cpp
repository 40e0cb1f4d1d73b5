#include "app/AccessibleNames.h"

#include <QStringList>

#include <array>

QString AccessibleNames::fromCaption(const QString& caption)
{
    QString name = caption;
    name.remove(u'&');
    if (name.endsWith(u':'))
        name.chop(1);
    return name.trimmed();
}

QString AccessibleNames::withValue(const QString& name, const QString& value)
{
    return value.isEmpty() ? name : name + QStringLiteral(": ") + value;
}

QString AccessibleNames::statisticName(int index)
{
    static const std::array<QString, 4> names{QStringLiteral("Down SNR"), QStringLiteral("Up SNR"),
        QStringLiteral("Down Attenuation"), QStringLiteral("Up Attenuation")};
    return index >= 0 && index < int(names.size()) ? names.at(std::size_t(index)) : QString();
}

QString AccessibleNames::cellName(int index, Column column, const QString& value)
{
    static const std::array<QString, 3> columns{
        QStringLiteral("minimum"), QStringLiteral("current"), QStringLiteral("maximum")};
    return withValue(statisticName(index) + u' ' + columns.at(std::size_t(column)), value);
}

QString AccessibleNames::graphDescription(
    const QString& graph, std::span<const bool> shown, std::span<const QString> currentValues)
{
    QStringList values;
    for (std::size_t i = 0; i < shown.size() && i < currentValues.size(); ++i) {
        if (shown[i] && !currentValues[i].isEmpty())
            values << statisticName(int(i)) + u' ' + currentValues[i];
    }
    return withValue(graph, values.join(QStringLiteral(", ")));
}
