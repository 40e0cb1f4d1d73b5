#include "report/GapList.h"

#include <QDir>
#include <QTemporaryFile>

GapList::GapList(QString spillFolder)
    : m_spillFolder(spillFolder.isEmpty() ? QDir::tempPath() : std::move(spillFolder))
{ }

GapList::GapList(GapList&& other) noexcept = default;
GapList& GapList::operator=(GapList&& other) noexcept = default;
GapList::~GapList() = default;

void GapList::add(const GapRecord& gap)
{
    ++m_count;
    m_seconds += gap.seconds;
    if (m_first.size() < listedOnPage) {
        m_first.push_back(gap);
        return;
    }
    m_recent.push_back(gap);
    if (m_recent.size() == heldInMemory)
        spill();
}

void GapList::spill()
{
    if (!m_spill) {
        m_spill
            = std::make_unique<QTemporaryFile>(QDir(m_spillFolder).filePath(QStringLiteral(".linegauge-gaps-XXXXXX")));
        if (!m_spill->open())
            m_problem = m_spill->errorString();
    }
    const auto bytes = qint64(m_recent.size()) * qint64(sizeof(GapRecord));
    if (m_problem.isEmpty()
        && (!m_spill->seek(m_spill->size())
            || m_spill->write(reinterpret_cast<const char*>(m_recent.data()), bytes) != bytes))
        m_problem = m_spill->errorString();
    m_recent.clear();
}

bool GapList::forEach(const std::function<void(const GapRecord&)>& visit) const
{
    for (const GapRecord& gap : m_first)
        visit(gap);
    if (m_spill && m_problem.isEmpty()) {
        if (!m_spill->flush() || !m_spill->seek(0))
            return false;
        std::vector<GapRecord> chunk(heldInMemory);
        const auto chunkBytes = qint64(chunk.size()) * qint64(sizeof(GapRecord));
        for (qint64 left = m_spill->size(); left > 0; left -= chunkBytes) {
            const qint64 wanted = std::min(left, chunkBytes);
            if (m_spill->read(reinterpret_cast<char*>(chunk.data()), wanted) != wanted)
                return false;
            for (std::size_t i = 0; i < std::size_t(wanted) / sizeof(GapRecord); ++i)
                visit(chunk[i]);
        }
    }
    for (const GapRecord& gap : m_recent)
        visit(gap);
    return m_problem.isEmpty();
}
