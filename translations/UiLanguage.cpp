#include "UiLanguage.h"

#include <QLocale>

#include <cstring>

namespace {

UiLanguage fromLocaleName(const QString &name)
{
    // "en_GB.UTF-8@euro": the language is what comes before the territory, codeset or modifier.
    const QString language = name.section(QLatin1Char('_'), 0, 0)
                                 .section(QLatin1Char('.'), 0, 0)
                                 .section(QLatin1Char('@'), 0, 0);
    return language == QLatin1String("en") ? UiLanguage::English : UiLanguage::Original;
}

} // namespace

Result<UiLanguage> chooseLanguage(const QString &option)
{
    if (option == QLatin1String("en"))
        return UiLanguage::English;
    if (option == QLatin1String("zh"))
        return UiLanguage::Original;
    if (!option.isNull())
        return Failure{QStringLiteral("--lang takes zh or en, not \"%1\"").arg(option)};
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return fromLocaleName(value);
    }
    return fromLocaleName(QLocale::system().name());
}

QString takeLanguageOption(int &argc, char **argv)
{
    QString value;
    int kept = 0;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && !std::strcmp(argv[i], "--lang")) {
            value = i + 1 < argc ? QString::fromLocal8Bit(argv[++i]) : QString(QLatin1String(""));
            continue;
        }
        if (i > 0 && !std::strncmp(argv[i], "--lang=", 7)) {
            value = QString::fromLocal8Bit(argv[i] + 7);
            continue;
        }
        argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    return value;
}
