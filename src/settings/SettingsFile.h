#pragma once

class QString;
class StatusLine;
struct Settings;

// What a save achieved, so the window can tell the user what was not kept.
struct SettingsSaveResult
{
    bool fileWritten = false; // the "Options" values are in the file
    bool passwordStored = false; // the password was among them; when false the file keeps the old one
};

// Reads "Options" and "Tweaks" into the settings in the fixed key order, each key on its own: a
// value that does not convert leaves its field as it was. False, with nothing changed, when the
// file exists but cannot be read.
bool loadSettings(const QString& path, Settings& settings, StatusLine& status);

// Writes the ten "Options" keys in one pass over the file; "Tweaks" and every line not written
// stay as they were. A file that would grow past what loading reads is left as it was, with a status text.
SettingsSaveResult saveSettings(const QString& path, const Settings& settings, StatusLine& status);
