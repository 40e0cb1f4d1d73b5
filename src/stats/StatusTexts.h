#pragma once

// The program's own texts, shown exactly as they stand. Every status text fits the status line whole.
namespace StatusTexts {

inline constexpr char appTitle[] = "Linegauge";
inline constexpr char connecting[] = "Attempting to connect to router...";
inline constexpr char routerFound[] = "Router found...extracting stats";
inline constexpr char displaying[] = "Displaying stats";
inline constexpr char saving[] = "Saving results to file";
inline constexpr char drawing[] = "Drawing graph";
inline constexpr char monitoring[] = "Monitoring";
inline constexpr char cannotFindRouter[] = "Cannot find router!";
inline constexpr char loginFailed[] = "Unable to log in to the router.";
inline constexpr char pageMissing[] = "Router page does not exist.";
inline constexpr char noValues[] = "No values found on page";
inline constexpr char noTestPage[] = "No test HTML page found";
inline constexpr char loadingSettings[] = "Loading settings";
inline constexpr char savingSettings[] = "Saving settings";
inline constexpr char ready[] = "Ready";
inline constexpr char stopped[] = "Stopped Monitoring";
inline constexpr char couldNotSaveResults[] = "Could not save results to file!";
inline constexpr char passwordNotStorable[] = "Password cannot be saved in settings.ini.";
inline constexpr char noSystemTray[] = "No system tray available: the window stays open.";
inline constexpr char systemTrayGone[] = "The system tray closed: the window is back.";
inline constexpr char portInvalid[] = "Router port must be a number from 1 to 65535.";
inline constexpr char routerTimedOut[] = "The router did not answer in time.";
inline constexpr char replyTooLarge[] = "Router reply too large for a status page.";
inline constexpr char fetchCancelled[] = "Router request cancelled.";
inline constexpr char folderNotWritable[] = "Folder not writable: settings and CSV not kept.";
inline constexpr char intervalInvalid[] = "Interval must be a number of minutes above 0.";
inline constexpr char settingsUnreadable[] = "Cannot read settings.ini: not loaded or saved.";
// A save that would grow the file past what a start reads; the file stays as it was.
inline constexpr char settingsTooLarge[] = "settings.ini would grow past 1 MiB: not saved.";

} // namespace StatusTexts
