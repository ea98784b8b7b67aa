// The settings file qln.ini beside the executable: six positional lines, the
// first ignored, then LeftMargin, RightMargin, DoURLs, KeepLinefeeds and
// Space2AfterPeriod, one per line.
#ifndef QLN_APP_SETTINGS_H_
#define QLN_APP_SETTINGS_H_

#include <string>
#include <string_view>

#include "engine/settings.h"

/// Reads qln.ini from the executable's directory into `settings`. A missing
/// file, line or key, or a value out of range, keeps that setting as it was.
void LoadSettings(Settings* settings);

/// Reads the settings file at `path`. Returns false when it cannot be opened,
/// leaving `settings` untouched.
bool LoadSettingsFile(const std::string& path, Settings* settings);

/// Applies the text of a settings file (as read in text mode) to `settings`,
/// then lowers MaxWordLength to fit the margins.
void ParseSettings(std::string_view text, Settings* settings);

#endif  // QLN_APP_SETTINGS_H_
