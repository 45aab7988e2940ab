#pragma once
// Which language the window and cutjob speak. The texts in the code are the Chinese-and-English
// originals; English is a translation loaded on top of them, so every locale but English keeps
// the originals exactly.

#include "common/Result.h"

#include <QString>

enum class UiLanguage
{
    Original, // the texts as written in the code
    English   // the English translation (translations/vexa_en.ts)
};

// `option` is the value given to --lang ("zh" or "en"), or a null string when it was not given;
// then the messages locale decides (LC_ALL, else LC_MESSAGES, else LANG, as the C library picks
// message catalogues; where none is set, the system's locale): "en" or "en_*" gives English.
// Fails, for the user, when `--lang` named a language we do not have.
Result<UiLanguage> chooseLanguage(const QString &option);

// Removes every "--lang VALUE" and "--lang=VALUE" from argv (in place, anywhere on the line) and
// returns the last value; a null string when there was none, an empty one when the value is
// missing.
QString takeLanguageOption(int &argc, char **argv);
