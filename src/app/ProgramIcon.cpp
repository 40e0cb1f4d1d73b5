#include "app/ProgramIcon.h"

#include <QDir>
#include <QIconEngine>

#include <algorithm>
#include <optional>

namespace {

// The renderings lie in the icon theme's layout, one folder per size ("48x48/apps"); the build
// decides the sizes, so they are taken from the resources rather than listed twice, smallest first.
QIcon readRenderings()
{
    const QDir theme(QStringLiteral(":/app/hicolor"));
    QList<int> sizes;
    for (const QString& folder : theme.entryList(QDir::Dirs))
        sizes.append(folder.section(u'x', 0, 0).toInt());
    std::sort(sizes.begin(), sizes.end());
    QIcon icon;
    for (int size : sizes)
        icon.addFile(theme.filePath(QStringLiteral("%1x%1/apps/linegauge.png").arg(size)), QSize(size, size));
    return icon;
}

// Decoding every rendering costs the window's start-up more than all its controls together, and
// some desktops never ask for the window's icon (Wayland takes it from the theme by the desktop
// file's name). So the renderings are read the first time anyone asks the icon anything.
class DeferredIconEngine final : public QIconEngine
{
public:
    DeferredIconEngine() = default;
    DeferredIconEngine(const DeferredIconEngine&) = default;
    DeferredIconEngine& operator=(const DeferredIconEngine&) = delete;
    DeferredIconEngine(DeferredIconEngine&&) = delete;
    DeferredIconEngine& operator=(DeferredIconEngine&&) = delete;
    ~DeferredIconEngine() override = default;

    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
    bool isNull() override { return icon().isNull(); }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

private:
    const QIcon& icon()
    {
        if (!m_icon)
            m_icon = readRenderings();
        return *m_icon;
    }

    std::optional<QIcon> m_icon;
};

} // namespace

namespace ProgramIcon {

QIcon icon()
{
    return QIcon(new DeferredIconEngine);
}

} // namespace ProgramIcon
