#pragma once

#include <QtGlobal>

// The operating system's version as one 32-bit value: major version in bits 0-7, minor version in
// bits 8-15, bit 31 clear on the NT family. The tray service chooses its call flavour and record
// size from it.
class VersionProbe
{
public:
    virtual ~VersionProbe() = default;
    virtual quint32 version() const = 0;

    static constexpr quint32 pack(int major, int minor, bool ntFamily)
    {
        return (quint32(major) & 0xFFu) | ((quint32(minor) & 0xFFu) << 8) | (ntFamily ? 0u : 0x80000000u);
    }
};

// This desktop answers as a current NT-family system: wide calls, balloons, the large record.
class SystemVersionProbe final : public VersionProbe
{
public:
    quint32 version() const override;
};

// Answers whatever version it was given, so every shell generation can be exercised.
class FixedVersionProbe final : public VersionProbe
{
public:
    explicit FixedVersionProbe(quint32 version)
        : m_version(version)
    { }
    quint32 version() const override { return m_version; }

private:
    quint32 m_version;
};
