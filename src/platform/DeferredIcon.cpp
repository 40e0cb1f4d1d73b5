#include "platform/DeferredIcon.h"

#include <QIconEngine>

#include <optional>
#include <utility>

namespace {

// Hands every question but whether it is null to the icon `read` makes, reading it on the first.
class DeferredIconEngine final : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::function<QIcon()> read)
        : m_read(std::move(read))
    { }
    DeferredIconEngine(const DeferredIconEngine&) = default;
    DeferredIconEngine& operator=(const DeferredIconEngine&) = delete;
    DeferredIconEngine(DeferredIconEngine&&) = delete;
    DeferredIconEngine& operator=(DeferredIconEngine&&) = delete;
    ~DeferredIconEngine() override = default;

    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
    // Setting a window's icon asks this at once; the pictures are built into the program, so the
    // answer before reading is that there are some.
    bool isNull() override { return m_icon && m_icon->isNull(); }
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
            m_icon = m_read();
        return *m_icon;
    }

    std::function<QIcon()> m_read;
    std::optional<QIcon> m_icon;
};

} // namespace

namespace DeferredIcon {

QIcon make(std::function<QIcon()> read)
{
    return QIcon(new DeferredIconEngine(std::move(read)));
}

} // namespace DeferredIcon
