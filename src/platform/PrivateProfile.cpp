#include "platform/PrivateProfile.h"

#include "platform/AnsiCodec.h"
#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QByteArray utf8Bom("\xEF\xBB\xBF");
const QByteArray newLine("\r\n");

bool isBlank(char byte)
{
    return byte == ' ' || byte == '\t';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// The line without its line end; a byte-order mark some editors put before the first line is not
// part of the first section's header.
QByteArrayView bodyOf(const QByteArray& line, bool firstLine)
{
    QByteArrayView body(line);
    if (body.endsWith('\n'))
        body.chop(1);
    if (body.endsWith('\r'))
        body.chop(1);
    if (firstLine && body.startsWith(utf8Bom))
        body = body.sliced(utf8Bom.size());
    return body;
}

bool sectionNameOf(QByteArrayView body, QByteArrayView* name)
{
    const QByteArrayView text = trimmed(body);
    if (!text.startsWith('['))
        return false;
    const qsizetype close = text.indexOf(']');
    if (close < 0)
        return false;
    *name = trimmed(text.sliced(1, close - 1));
    return true;
}

// A key line is "key=value" outside a comment; lines without "=" are kept but are no keys.
bool keyOf(QByteArrayView body, QByteArrayView* key, qsizetype* equals)
{
    const QByteArrayView text = trimmed(body);
    if (text.isEmpty() || text.startsWith(';'))
        return false;
    *equals = body.indexOf('=');
    if (*equals < 0)
        return false;
    *key = trimmed(body.first(*equals));
    return true;
}

bool sameName(QByteArrayView bytes, const QString& name)
{
    return AnsiCodec::decode(bytes).compare(name, Qt::CaseInsensitive) == 0;
}

bool isQuoted(QByteArrayView value)
{
    return value.size() >= 2 && value.startsWith('"') && value.endsWith('"');
}

// A carriage return inside a value reads as the blank it is written as, so every value read can be
// written back and read again unchanged.
QByteArray parsedValue(QByteArrayView body, qsizetype equals)
{
    QByteArrayView value = trimmed(body.sliced(equals + 1));
    if (isQuoted(value))
        value = value.sliced(1, value.size() - 2);
    const qsizetype nul = value.indexOf('\0');
    if (nul >= 0)
        value = value.first(nul);
    return value.toByteArray().replace('\r', ' ');
}

// Line breaks inside a value would split it into lines of their own and break the file's layout.
// The value is cut where the reader cuts it, so the file holds what the next start reads back.
QByteArray storedValue(const QString& value)
{
    QByteArray bytes = AnsiCodec::encode(value);
    bytes.truncate(PrivateProfile::maxValueLength);
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    return bytes;
}

// The reader strips blanks around a value and one pair of enclosing quotes, so a value that starts
// or ends with a blank, or is itself enclosed in quotes, goes into a pair of quotes of its own.
QByteArray quotedIfNeeded(const QByteArray& value)
{
    const bool edgeBlank = !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()));
    if (edgeBlank || isQuoted(value))
        return '"' + value + '"';
    return value;
}

QList<QByteArray> splitLines(const QByteArray& content)
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

} // namespace

PrivateProfile::PrivateProfile(const QByteArray& content)
    : m_lines(splitLines(content))
{ }

bool PrivateProfile::load(const QString& file)
{
    m_lines.clear();
    if (!QFile::exists(file))
        return true;
    const std::optional<QByteArray> content = SafeFile::readRegularFile(file, maxFileBytes);
    if (!content)
        return false;
    m_lines = splitLines(*content);
    return true;
}

QString PrivateProfile::value(const QString& section, const QString& key) const
{
    const Location location = find(AnsiCodec::encode(section), key);
    if (location.keyLine < 0)
        return {};
    const QByteArray& line = m_lines.at(location.keyLine);
    const QByteArrayView body = bodyOf(line, location.keyLine == 0);
    QByteArray value = parsedValue(body, body.indexOf('='));
    value.truncate(maxValueLength);
    return AnsiCodec::decode(value);
}

void PrivateProfile::setValue(const QString& section, const QString& key, const QString& value)
{
    const QByteArray sectionBytes = AnsiCodec::encode(section);
    const QByteArray valueBytes = storedValue(value);
    const Location location = find(sectionBytes, key);
    if (location.keyLine >= 0) {
        QByteArray& line = m_lines[location.keyLine];
        const QByteArrayView body = bodyOf(line, location.keyLine == 0);
        const qsizetype equals = body.indexOf('=');
        // A value that reads as unchanged leaves the user's spelling, spacing and quotes alone.
        QByteArray current = parsedValue(body, equals);
        current.truncate(maxValueLength);
        if (current == valueBytes)
            return;
        qsizetype valueStart = equals + 1;
        while (valueStart < body.size() && isBlank(body[valueStart]))
            ++valueStart;
        const qsizetype offset = body.data() - line.data();
        line = line.first(offset + valueStart) + quotedIfNeeded(valueBytes) + line.sliced(offset + body.size());
        return;
    }
    const QByteArray keyLine = AnsiCodec::encode(key) + '=' + quotedIfNeeded(valueBytes);
    if (location.sectionHeader >= 0) {
        const qsizetype after = location.lastKeyLine >= 0 ? location.lastKeyLine : location.sectionHeader;
        appendLine(after + 1, keyLine);
        return;
    }
    appendLine(m_lines.size(), '[' + sectionBytes + ']');
    appendLine(m_lines.size(), keyLine);
}

bool PrivateProfile::save(const QString& file) const
{
    // The rename would replace a file the user made read-only; its write bit is the user's say.
    const QFileInfo existing(file);
    if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner))
        return false;
    // A file the next load would refuse is never written: the old one stays readable.
    const QByteArray bytes = content();
    if (bytes.size() > maxFileBytes)
        return false;
    QSaveFile output(file);
    if (!output.open(QIODevice::WriteOnly))
        return false;
    if (output.write(bytes) != bytes.size()) {
        output.cancelWriting();
        return false;
    }
    return output.commit();
}

QByteArray PrivateProfile::content() const
{
    QByteArray bytes;
    qsizetype size = 0;
    for (const QByteArray& line : m_lines)
        size += line.size();
    bytes.reserve(size);
    for (const QByteArray& line : m_lines)
        bytes.append(line);
    return bytes;
}

PrivateProfile::Location PrivateProfile::find(const QByteArray& section, const QString& key) const
{
    const QString sectionName = AnsiCodec::decode(section);
    Location location;
    for (qsizetype index = 0; index < m_lines.size(); ++index) {
        const QByteArrayView body = bodyOf(m_lines.at(index), index == 0);
        QByteArrayView name;
        if (sectionNameOf(body, &name)) {
            // Only the first section of a name counts, as for the platform's reader.
            if (location.sectionHeader >= 0)
                break;
            if (sameName(name, sectionName))
                location.sectionHeader = index;
            continue;
        }
        qsizetype equals = 0;
        if (location.sectionHeader < 0 || !keyOf(body, &name, &equals))
            continue;
        location.lastKeyLine = index;
        if (location.keyLine < 0 && sameName(name, key))
            location.keyLine = index;
    }
    return location;
}

void PrivateProfile::appendLine(qsizetype before, const QByteArray& text)
{
    if (before > 0) {
        QByteArray& previous = m_lines[before - 1];
        if (!previous.endsWith('\n'))
            previous.append(previous.endsWith('\r') ? QByteArray("\n") : newLine);
    }
    m_lines.insert(before, text + newLine);
}

QString readIniValue(const QString& section, const QString& key, const QString& file)
{
    PrivateProfile profile;
    if (!profile.load(file))
        return {};
    return profile.value(section, key);
}

bool writeIniValue(const QString& section, const QString& key, const QString& value, const QString& file)
{
    PrivateProfile profile;
    if (!profile.load(file))
        return false;
    profile.setValue(section, key, value);
    return profile.save(file);
}
