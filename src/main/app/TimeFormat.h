#pragma once

#include "format/LocalTime.h"

#include <QLocale>
#include <QString>

// The locale's long time format without its time-zone part: the times in result lines are
// those of other zones, so the user's own zone name would be wrong beside them.
QString LongTimeFormatWithoutZone(const QLocale& locale);

// Formats a time of day in that format, as Windows-1252 bytes for the result lines.
corvana::TimeFormatter LocaleTimeFormatter(const QLocale& locale);
