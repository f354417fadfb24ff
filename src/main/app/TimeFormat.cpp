#include "main/app/TimeFormat.h"

#include "main/app/Messages.h"

#include <QTime>

QString LongTimeFormatWithoutZone(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out += c;
    }
    return out.simplified();
}

corvana::TimeFormatter LocaleTimeFormatter(const QLocale& locale) {
    QString format = LongTimeFormatWithoutZone(locale);
    return [locale, format](const corvana::TimeOfDay& t) {
        return toCore(locale.toString(QTime(t.hour, t.minute, t.second, t.millisecond), format));
    };
}
