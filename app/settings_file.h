// Finding and reading the settings file qln.ini beside the executable. What
// its lines mean is the engine's business (qln::ParseSettings).
#ifndef QLN_APP_SETTINGS_FILE_H_
#define QLN_APP_SETTINGS_FILE_H_

#include <qln/settings.h>

#include <string>

/// The settings of qln.ini in the executable's folder, or the defaults when
/// there is none.
qln::Settings LoadSettings();

/// Reads the settings file at `path` into `*settings`. Returns false when it
/// cannot be opened, leaving `settings` untouched.
bool LoadSettingsFile(const std::string& path, qln::Settings* settings);

#endif  // QLN_APP_SETTINGS_FILE_H_
