#include "report/LogReader.h"

#include "report/LogLine.h"
#include "report/ReportBuilder.h"

#include <QIODevice>

#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr qint64 chunkSize = qint64(1) << 20;

void take(std::string_view line, ReportBuilder& builder)
{
    const LogLine parsed = parseLogLine(line);
    if (parsed.kind == LogLineKind::capture)
        builder.addCapture(parsed.capture);
    else if (parsed.kind == LogLineKind::bad)
        builder.addSkippedLine();
}

// The start of a line that the chunk cut off, held until its end arrives.
class PendingLine
{
public:
    void append(std::string_view piece)
    {
        if (m_overlong)
            return;
        if (m_text.size() + piece.size() > LogReader::longestLine) {
            m_overlong = true;
            m_text.clear();
            return;
        }
        m_text.append(piece);
    }
    bool empty() const { return m_text.empty() && !m_overlong; }
    void finish(ReportBuilder& builder)
    {
        if (m_overlong)
            builder.addSkippedLine();
        else if (!m_text.empty())
            take(m_text, builder);
        m_text.clear();
        m_overlong = false;
    }

private:
    std::string m_text;
    bool m_overlong = false;
};

} // namespace

bool LogReader::read(QIODevice& device, ReportBuilder& builder)
{
    std::vector<char> buffer(std::size_t(chunkSize), 0);
    PendingLine pending;
    for (;;) {
        const qint64 got = device.read(buffer.data(), chunkSize);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        const std::string_view chunk(buffer.data(), std::size_t(got));
        std::size_t pos = 0;
        while (pos < chunk.size()) {
            const std::size_t lineFeed = chunk.find('\n', pos);
            if (lineFeed == std::string_view::npos) {
                pending.append(chunk.substr(pos));
                break;
            }
            const std::string_view piece = chunk.substr(pos, lineFeed - pos);
            if (pending.empty()) {
                if (piece.size() > longestLine)
                    builder.addSkippedLine();
                else
                    take(piece, builder);
            } else {
                pending.append(piece);
                pending.finish(builder);
            }
            pos = lineFeed + 1;
        }
    }
    pending.finish(builder);
    return true;
}
