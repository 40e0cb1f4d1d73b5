#include "settings/SettingsFile.h"

#include "platform/PrivateProfile.h"
#include "settings/DecimalText.h"
#include "settings/PasswordScrambler.h"
#include "settings/Settings.h"
#include "stats/StatusLine.h"
#include "stats/StatusTexts.h"

#include <cmath>
#include <optional>

namespace {

const QString options = QStringLiteral("Options");
const QString tweaks = QStringLiteral("Tweaks");

std::optional<bool> booleanOf(const QString& text)
{
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> number = DecimalText::wholeNumber(text);
    if (!number)
        return std::nullopt;
    return *number != 0.0;
}

bool isOne(const QString& text)
{
    return text == QLatin1String("1");
}

void applyBoolean(const QString& text, bool& field)
{
    if (const std::optional<bool> flag = booleanOf(text))
        field = *flag;
}

void applyCheckState(const QString& text, int& state)
{
    const std::optional<double> number = DecimalText::wholeNumber(text);
    if (!number)
        return;
    // The current rounding mode is to nearest, halves to the even neighbour.
    const double whole = std::nearbyint(*number);
    if (whole == 0.0 || whole == 1.0 || whole == 2.0)
        state = int(whole);
}

void applyDecimal(const QString& text, float& field)
{
    if (const std::optional<double> number = DecimalText::wholeNumber(text))
        field = float(*number);
}

// The graph's scale divides by its top, so only a positive top is taken.
void applyGraphMax(const QString& text, float& field)
{
    const std::optional<double> number = DecimalText::wholeNumber(text);
    if (number && float(*number) > 0.0f)
        field = float(*number);
}

void applySeparateDateTime(const QString& text, bool& field)
{
    if (isOne(text))
        field = true;
    else if (text == QLatin1String("0"))
        field = false;
}

void loadOptions(const PrivateProfile& profile, Settings& settings)
{
    const auto read = [&profile](const char* key) { return profile.value(options, QLatin1String(key)); };
    settings.routerIp = read("Router IP");
    settings.userName = read("Username");
    settings.portText = read("Router Port");
    settings.minutesText = read("Minutes");
    settings.outputFilename = read("Output filename");
    if (const std::optional<QString> password = unscramblePassword(passwordKey, read("Password (encrypted)")))
        settings.password = *password;
    if (isOne(read("SysTray Balloons")))
        settings.useBalloons = true;
    applyBoolean(read("Markers"), settings.markers);
    settings.labels = !settings.markers;
    applyBoolean(read("Grid"), settings.grid);
    applyCheckState(read("Save to file"), settings.saveToFile);
}

void loadTweaks(const PrivateProfile& profile, Settings& settings)
{
    const auto read = [&profile](const char* key) { return profile.value(tweaks, QLatin1String(key)); };
    applyGraphMax(read("Maximum value"), settings.graphMax);
    applyDecimal(read("SNR threshold"), settings.snrThreshold);
    applyDecimal(read("Att. threshold"), settings.attThreshold);
    applySeparateDateTime(read("Separate date and time"), settings.separateDateTime);
    const QString statsPage = read("Stats page");
    if (!statsPage.isEmpty())
        settings.statsPage = statsPage;
    applyBoolean(read("Auto Range"), settings.autoRange);
}

QString booleanText(bool flag)
{
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}

// Returns whether the password went into the profile.
bool storeOptions(PrivateProfile& profile, const Settings& settings)
{
    const auto write
        = [&profile](const char* key, const QString& value) { profile.setValue(options, QLatin1String(key), value); };
    write("Router IP", settings.routerIp);
    write("Username", settings.userName);
    write("Router Port", settings.portText);
    write("Minutes", DecimalText::withDecimalPoint(settings.minutesText));
    write("Output filename", settings.outputFilename);
    const bool storable = canStorePassword(settings.password);
    if (storable)
        write("Password (encrypted)", *scramblePassword(passwordKey, settings.password));
    write("SysTray Balloons", settings.useBalloons ? QStringLiteral("1") : QStringLiteral("0"));
    write("Markers", booleanText(settings.markers));
    write("Grid", booleanText(settings.grid));
    write("Save to file", QString::number(settings.saveToFile));
    return storable;
}

} // namespace

bool loadSettings(const QString& path, Settings& settings, StatusLine& status)
{
    status.showStatus(QString::fromLatin1(StatusTexts::loadingSettings));
    PrivateProfile profile;
    if (!profile.load(path))
        return false;
    loadOptions(profile, settings);
    loadTweaks(profile, settings);
    return true;
}

SettingsSaveResult saveSettings(const QString& path, const Settings& settings, StatusLine& status)
{
    status.showStatus(QString::fromLatin1(StatusTexts::savingSettings));
    SettingsSaveResult result;
    PrivateProfile profile;
    // A file that exists but cannot be read is left alone rather than replaced by our keys only.
    if (!profile.load(path))
        return result;
    result.passwordStored = storeOptions(profile, settings);
    // Saved, the file would be one the next start refuses, and every later save with it.
    if (profile.content().size() > PrivateProfile::maxFileBytes) {
        status.showStatus(QString::fromLatin1(StatusTexts::settingsTooLarge));
        result.passwordStored = false;
        return result;
    }
    result.fileWritten = profile.save(path);
    result.passwordStored = result.passwordStored && result.fileWritten;
    return result;
}
