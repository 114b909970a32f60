#include "gui/scan/ScanDates.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace orbisk {

namespace {

QDate DateOf(const std::tm& local) {
    return QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

QTime TimeOf(const std::tm& local) {
    // A leap second (60) has no QTime.
    return QTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec);
}

} // namespace

QString WithoutTimeZone(const QString& format) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) continue;
        out += c;
    }
    return out.trimmed();
}

TLocaleDateFormatter::TLocaleDateFormatter()
    : shortDate_(locale_.dateFormat(QLocale::ShortFormat)),
      longTime_(WithoutTimeZone(locale_.timeFormat(QLocale::LongFormat))),
      shortTime_(WithoutTimeZone(locale_.timeFormat(QLocale::ShortFormat))) {}

std::string TLocaleDateFormatter::DateTime(const std::tm& local) const {
    QString text = locale_.toString(DateOf(local), shortDate_);
    if (local.tm_hour != 0 || local.tm_min != 0 || local.tm_sec != 0)
        text += QLatin1Char(' ') + locale_.toString(TimeOf(local), longTime_);
    return text.toStdString();
}

std::string TLocaleDateFormatter::ZipDateTime(const std::tm& local) const {
    return (locale_.toString(DateOf(local), shortDate_) + QStringLiteral("  ") +
            locale_.toString(TimeOf(local), shortTime_))
        .toStdString();
}

} // namespace orbisk
