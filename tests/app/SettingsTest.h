#pragma once

#include "AppTestSupport.h"

#include <QObject>

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstRunWritesAllKeys_data();
    void firstRunWritesAllKeys();
    void keyNamesAndGroup();
    void startsFromFile_data();
    void startsFromFile();
    void startIconsFromFile_data();
    void startIconsFromFile();
    void userChoicesSurviveRestart();
    void damagedFileIsRewrittenAtClose();
    void unwritableFileWarnsThenExits();
    void closeDuringAWaitStillExits();

private:
    std::unique_ptr<QTemporaryDir> dir;
};
