// The filter: standard input converted as clipboard mode converts a text,
// with LF line ends, to standard output, as the input arrives.
#ifndef QLN_APP_FILTER_H_
#define QLN_APP_FILTER_H_

#include <qln/settings.h>

#include "app/modes.h"

/// Converts standard input to standard output, writing all finished output
/// after each read. Returns kConverted, or kReadFailed or kWriteFailed with
/// the path "standard input" or "standard output" and the system's reason;
/// it stops at a failed write.
FileResult FilterStandardInput(const qln::Settings& settings);

#endif  // QLN_APP_FILTER_H_
