// Finding and reading the settings file qln.ini: beside the executable, then
// in the system's settings folders. What its lines mean is the engine's
// business (qln::ParseSettings).
#ifndef QLN_APP_SETTINGS_FILE_H_
#define QLN_APP_SETTINGS_FILE_H_

#include <qln/settings.h>

#include <string>

/// The settings of the first qln.ini that opens: in the executable's folder,
/// then in a folder "qln" in each of platform::ConfigFolders() (on Linux
/// $XDG_CONFIG_HOME/qln, or ~/.config/qln, then /etc/qln). The defaults when
/// there is none.
qln::Settings LoadSettings();

/// Reads the settings file at `path` into `*settings`. Returns false when it
/// cannot be opened, leaving `settings` untouched.
bool LoadSettingsFile(const std::string& path, qln::Settings* settings);

#endif  // QLN_APP_SETTINGS_FILE_H_
