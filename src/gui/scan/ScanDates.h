#pragma once
// Date texts of scanned entries in the user's regional formats: the short
// date and the long time of the locale (without a time-zone name), and for
// members of ZIP files the short date, two blanks and the short time.
#include <QLocale>
#include <QString>

#include "core/scan/DateFormat.h"

namespace orbisk {

class TLocaleDateFormatter : public TDateFormatter {
public:
    TLocaleDateFormatter();
    std::string DateTime(const std::tm& local) const override;
    std::string ZipDateTime(const std::tm& local) const override;

private:
    QLocale locale_; // the user's, as the formats were taken from it
    QString shortDate_, longTime_, shortTime_;
};

// A locale's time format without its time-zone part ("t", "tt", ...):
// "h:mm:ss AP t" gives "h:mm:ss AP".
QString WithoutTimeZone(const QString& format);

} // namespace orbisk
