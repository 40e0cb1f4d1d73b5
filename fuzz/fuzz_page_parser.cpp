// Any bytes as a router page, decoded the way a reply from the router is.

#include "FuzzCheck.h"
#include "platform/AnsiCodec.h"
#include "router/PageParser.h"
#include "stats/LineStatTable.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStatusLine.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString page = AnsiCodec::decode(QByteArrayView(data, qsizetype(size)));
    LineStatTable table;
    RecordingStatusLine status;
    RecordingMessageBox messageBox;
    PageParser parser(status, messageBox);

    const std::optional<PageReading> reading = parser.parseStatsPage(page);

    if (reading) {
        table.takePage(*reading);
        for (const float value : table.currentValues)
            fuzzCheck(std::isfinite(value), "a true result leaves every current value a finite number");
        fuzzCheck(messageBox.texts.isEmpty(), "a page with values shows no message box");
    } else {
        fuzzCheck(status.texts.size() == 2, "a false result says why in the status line");
    }
    return 0;
}
