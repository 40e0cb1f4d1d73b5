#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

class QTemporaryFile;

struct GapRecord
{
    qint64 start = 0; // the last capture before the pause, a WallClock stamp
    qint64 end = 0; // the capture that ended it, when captures resumed
    qint64 seconds = 0; // real time elapsed, across a clock change too
    bool covered = false; // the line's state was known at its start
    bool up = false; // and it was up
};

// The pauses of a log in the order they occurred, however many there are: all counted and summed,
// the first ones kept for the page, and every one kept for the JSON and the chart, in memory up to a
// bound and past it in a temporary file in the spill folder, so memory stays fixed.
class GapList
{
public:
    static constexpr std::size_t listedOnPage = 1000;
    static constexpr std::size_t heldInMemory = 4096;

    // The system's temporary folder when none is named.
    explicit GapList(QString spillFolder = {});
    GapList(GapList&& other) noexcept;
    GapList& operator=(GapList&& other) noexcept;
    ~GapList();
    Q_DISABLE_COPY(GapList)

    void add(const GapRecord& gap);

    qint64 count() const { return m_count; }
    bool empty() const { return m_count == 0; }
    qint64 totalSeconds() const { return m_seconds; }
    const std::vector<GapRecord>& firstGaps() const { return m_first; }
    std::size_t held() const { return m_first.size() + m_recent.size(); }

    // Hands every gap to visit, in order; false when the spilled ones cannot be read back.
    bool forEach(const std::function<void(const GapRecord&)>& visit) const;
    // Why not every gap could be kept; empty when all were.
    QString problem() const { return m_problem; }

private:
    void spill();

    QString m_spillFolder;
    qint64 m_count = 0;
    qint64 m_seconds = 0;
    std::vector<GapRecord> m_first;
    std::vector<GapRecord> m_recent; // not yet in the spill file
    std::unique_ptr<QTemporaryFile> m_spill;
    QString m_problem;
};
