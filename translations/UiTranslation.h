#pragma once
// Puts the chosen language's translation in force for the life of this object: the window, the
// drawing host's window and the messages of the cutter link and the job preparation read it
// through tr() and QCoreApplication::translate(). Needs the application object to exist.

#include "UiLanguage.h"

#include <QTranslator>

class UiTranslation
{
public:
    explicit UiTranslation(UiLanguage language);
    ~UiTranslation();
    UiTranslation(const UiTranslation &) = delete;
    UiTranslation &operator=(const UiTranslation &) = delete;

    // False only when English was asked for and its translation could not be loaded.
    bool loaded() const { return language == UiLanguage::Original || installed; }

private:
    UiLanguage language;
    QTranslator translator;
    bool installed = false;
};
