#include "platform/locale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QRegularExpression>

TFormatSettings& FormatSettings()
{
    static TFormatSettings settings;
    return settings;
}

void LoadSystemLocale()
{
    const QLocale loc = QLocale::system();
    TFormatSettings& fs = FormatSettings();
    const QString dec = loc.decimalPoint();
    fs.DecimalSeparator = dec.isEmpty() ? QLatin1Char('.') : dec.at(0);
    const QString group = loc.groupSeparator();
    fs.ThousandSeparator = group.isEmpty() ? QChar(QLatin1Char(',')) : group.at(0);
    fs.CurrencyDecimals = 2;  // Qt gives no currency-decimals value; 2 is the common case
    fs.CurrencyString = loc.currencySymbol(QLocale::CurrencySymbol);
    QString date = loc.dateFormat(QLocale::ShortFormat);
    // Printed on invoices: widen a two-digit year to four digits.
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    date.replace(twoDigitYear, QStringLiteral("yyyy"));
    fs.ShortDateFormat = date;
}

namespace {

// Texts that Qt 6 moved to a context its shipped Bulgarian catalogue does not
// have yet: the file dialogs' type column would read "Folder".
class BulgarianFileTypeTexts : public QTranslator {
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 && qstrcmp(context, "QFileIconProvider") != 0)
            return {};
        static const struct {
            const char* source;
            const char* text;
        } texts[] = {
            {"Folder", "Папка"},       {"File Folder", "Папка"},  {"Drive", "Устройство"},
            {"File", "Файл"},          {"Alias", "Препратка"},    {"Shortcut", "Препратка"},
            {"Unknown", "Неизвестен"},
        };
        for (const auto& t : texts)
            if (qstrcmp(sourceText, t.source) == 0)
                return QString::fromUtf8(t.text);
        return {};
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

bool LoadQtTranslations(const QString& localeName)
{
    static QTranslator* installed = nullptr;
    static QTranslator* supplement = nullptr;
    for (QTranslator** t : {&supplement, &installed}) {
        if (*t) {
            QCoreApplication::removeTranslator(*t);
            delete *t;
            *t = nullptr;
        }
    }
    if (localeName.isEmpty())
        return true;
    auto* t = new QTranslator;
    if (!t->load(QLocale(localeName), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    installed = t;
    if (QLocale(localeName).language() == QLocale::Bulgarian) {
        supplement = new BulgarianFileTypeTexts;
        QCoreApplication::installTranslator(supplement);
    }
    return true;
}

void SetBulgarianLocale()
{
    TFormatSettings& fs = FormatSettings();
    fs.DecimalSeparator = QLatin1Char(',');
    fs.ThousandSeparator = QChar(0x00A0);
    fs.CurrencyDecimals = 2;
    fs.CurrencyString = QStringLiteral("лв");
    fs.ShortDateFormat = QStringLiteral("dd.MM.yyyy");
}
