#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// An INI file held in memory the way the platform's private-profile calls see it: lines in the
// single-byte code page, sections and keys matched without regard to case, the first of duplicate
// sections or keys winning. Editing changes only the lines it must, so the user's comments, unknown
// keys, other sections, order and line ends survive byte for byte.
class PrivateProfile
{
public:
    // A value read is cut to this many characters, as by the platform's 255-character buffer.
    static constexpr int maxValueLength = 254;
    // Far beyond any real settings file; anything larger is not taken for one.
    static constexpr qint64 maxFileBytes = qint64(1) << 20;

    PrivateProfile() = default;
    explicit PrivateProfile(const QByteArray& content);

    // Loads the file. A missing file gives an empty profile and true; a file that exists but cannot
    // be read gives false, so a caller never overwrites what it could not see. Only a regular file
    // of at most maxFileBytes can be read: a device, a FIFO or a larger file is never read.
    bool load(const QString& file);

    // The value with blanks around it and one pair of enclosing quotes removed, at most
    // maxValueLength characters; the empty text when the section or key is missing.
    QString value(const QString& section, const QString& key) const;

    // Replaces the key's value in place, or appends the key at the end of its section, or the
    // section at the end of the file; new lines end in CR LF. The value is cut to maxValueLength
    // characters, so what is written is what value() reads back.
    void setValue(const QString& section, const QString& key, const QString& value);

    // Writes the content to a temporary file in the same folder and renames it over the old file,
    // so a failed save leaves the previous file whole. False when nothing was written; a content of
    // more than maxFileBytes, which load() would refuse, is never written.
    bool save(const QString& file) const;

    QByteArray content() const;

private:
    struct Location
    {
        qsizetype sectionHeader = -1; // line index of the section's header, -1 when missing
        qsizetype keyLine = -1; // line index of the key, -1 when missing
        qsizetype lastKeyLine = -1; // last key line of the section, -1 when it has none
    };

    Location find(const QByteArray& section, const QString& key) const;
    void appendLine(qsizetype before, const QByteArray& text);

    QList<QByteArray> m_lines; // each with the line end it had in the file
};

// One value from the file, read as the platform's profile reader does.
QString readIniValue(const QString& section, const QString& key, const QString& file);

// Sets one value in the file (created when missing); true when the file was written.
bool writeIniValue(const QString& section, const QString& key, const QString& value, const QString& file);
