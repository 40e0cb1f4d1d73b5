#pragma once

#include <QString>

#include <optional>

// The key the stored router password is scrambled with; both directions use it.
inline constexpr QStringView passwordKey = u"KDVR62TNB";

// Adds the key's character codes to the text's, the key laid against the text from its end and
// repeated as often as needed. Codes are those of the single-byte code page; a character the code
// page lacks, or a sum above 255, fails the whole call.
std::optional<QString> scramblePassword(QStringView key, QStringView text);

// The reverse of scramblePassword; a difference below 0 (a value typed into the file by hand)
// fails the whole call.
std::optional<QString> unscramblePassword(QStringView key, QStringView text);

// True when the password can be kept in the settings file and read back unchanged, so the window
// can warn while the user is still typing it.
bool canStorePassword(QStringView password);
