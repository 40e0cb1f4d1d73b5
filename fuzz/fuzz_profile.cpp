// Any bytes as settings.ini: load, save, load again. Both loads must agree, and the save may only
// touch the lines of the ten "Options" keys it writes (plus a new "[Options]" header).

#include "FuzzCheck.h"
#include "settings/DecimalText.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "support/RecordingStatusLine.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

constexpr std::array<const char*, 10> savedKeys{"Router IP", "Username", "Router Port", "Minutes", "Output filename",
    "Password (encrypted)", "SysTray Balloons", "Markers", "Grid", "Save to file"};

// b is loaded from what a saved: the interval goes back with a decimal point where a read a comma.
bool sameSettings(const Settings& a, const Settings& b)
{
    return a.routerIp == b.routerIp && a.userName == b.userName && a.portText == b.portText
        && DecimalText::withDecimalPoint(a.minutesText) == b.minutesText && a.outputFilename == b.outputFilename
        && a.password == b.password && a.useBalloons == b.useBalloons && a.markers == b.markers && a.labels == b.labels
        && a.grid == b.grid && a.saveToFile == b.saveToFile && a.graphMax == b.graphMax
        && a.snrThreshold == b.snrThreshold && a.attThreshold == b.attThreshold
        && a.separateDateTime == b.separateDateTime && a.statsPage == b.statsPage && a.autoRange == b.autoRange;
}

QList<QByteArray> linesOf(const QByteArray& content)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        end = end < 0 ? content.size() : end + 1;
        lines.append(content.sliced(start, end - start));
        start = end;
    }
    return lines;
}

// The bytes of a line up to and including its "=" when the trimmed name before it is one of the
// saved keys; empty otherwise. A save may rewrite what follows, never this part.
QByteArray savedKeyLead(const QByteArray& line)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return {};
    QByteArray name = line.first(equals);
    if (name.startsWith("\xEF\xBB\xBF"))
        name = name.sliced(3);
    name = name.trimmed();
    for (const char* key : savedKeys) {
        if (name.compare(key, Qt::CaseInsensitive) == 0)
            return line.first(equals + 1);
    }
    return {};
}

bool isInsertable(const QByteArray& line)
{
    return line == "[Options]\r\n" || (!savedKeyLead(line).isEmpty() && line.endsWith("\r\n"));
}

// A line kept as it was, except that the file's last line may gain the line end a following
// new line needs.
bool keptLine(const QByteArray& before, const QByteArray& after, bool lastBefore)
{
    if (before == after)
        return true;
    return lastBefore && !before.endsWith('\n') && (after == before + "\r\n" || after == before + "\n");
}

void checkLinesKept(const QByteArray& original, const QByteArray& saved)
{
    const QList<QByteArray> before = linesOf(original);
    const QList<QByteArray> after = linesOf(saved);
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < before.size()) {
        fuzzCheck(j < after.size(), "every line of the file is still there after the save");
        const bool last = i + 1 == before.size();
        if (keptLine(before[i], after[j], last)) {
            ++i;
            ++j;
            continue;
        }
        // A rewritten value comes before an insertion: a new key line goes only where no line of
        // that key was found, so a line with the same key lead is the old one rewritten.
        const QByteArray lead = savedKeyLead(before[i]);
        if (!lead.isEmpty() && after[j].startsWith(lead)) {
            ++i;
            ++j;
            continue;
        }
        if (isInsertable(after[j]) && j + 1 < after.size() && keptLine(before[i], after[j + 1], last)) {
            ++j;
            continue;
        }
        fuzzCheck(isInsertable(after[j]), "the save changes only the lines of the keys it writes");
        ++j;
    }
    for (; j < after.size(); ++j)
        fuzzCheck(isInsertable(after[j]), "the save adds only the keys it writes and their section");
}

// In memory where the system offers it: every save syncs the file, which on a disk would make the
// fuzzer wait on the drive instead of exercising the code.
QString temporaryRoot()
{
    const QString memory = QStringLiteral("/dev/shm");
    return QFileInfo(memory).isWritable() ? memory : QDir::tempPath();
}

const QString& settingsPath()
{
    static const QTemporaryDir folder(temporaryRoot() + QStringLiteral("/linegauge-fuzz-XXXXXX"));
    static const QString path = folder.filePath(QStringLiteral("settings.ini"));
    return path;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    fuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the fuzz file can be written");
    fuzzCheck(file.write(content) == content.size(), "the fuzz file is written whole");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    fuzzCheck(file.open(QIODevice::ReadOnly), "the saved file can be read");
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString& path = settingsPath();
    writeFile(path, original);
    RecordingStatusLine status;

    Settings first;
    fuzzCheck(loadSettings(path, first, status), "a readable file loads");
    const SettingsSaveResult result = saveSettings(path, first, status);
    fuzzCheck(result.fileWritten, "the settings are written");
    fuzzCheck(result.passwordStored, "a password read from the file can be stored again");
    const QByteArray saved = readFile(path);

    Settings second;
    fuzzCheck(loadSettings(path, second, status), "the saved file loads");
    fuzzCheck(sameSettings(first, second), "loading the saved file gives the values that were saved");
    checkLinesKept(original, saved);
    return 0;
}
