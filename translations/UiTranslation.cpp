#include "UiTranslation.h"

#include <QCoreApplication>

// The translation is compiled into this library, which the linker would drop unreferenced.
static void initTranslationResources()
{
    Q_INIT_RESOURCE(translations);
}

UiTranslation::UiTranslation(UiLanguage language) : language(language)
{
    if (language != UiLanguage::English)
        return;
    initTranslationResources();
    installed = translator.load(QStringLiteral(":/translations/vexa_en.qm")) &&
                QCoreApplication::installTranslator(&translator);
}

UiTranslation::~UiTranslation()
{
    if (installed)
        QCoreApplication::removeTranslator(&translator);
}
