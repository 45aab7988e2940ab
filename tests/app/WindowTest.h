#pragma once

#include "AppTestSupport.h"

#include <QObject>

class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startPosition_data();
    void startPosition();
    void placedOnThisScreen();
    void dragStrip_data();
    void dragStrip();
    void settingsCycle_data();
    void settingsCycle();
    void iconFollowsCheckBox_data();
    void iconFollowsCheckBox();
    void rj45SwapsMachineList_data();
    void rj45SwapsMachineList();
    void minimise();
    void unreachableHostWarns_data();
    void unreachableHostWarns();
    void sendOpensPreview_data();
    void sendOpensPreview();
    void stopAsksToWait();
    void previewsFollowControls();
    void fixedFieldsRefuseTyping_data();
    void fixedFieldsRefuseTyping();
    void machineNamesAppendOnce();
    void dataFolderWithMissingParents();
    void versionLine();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TestWindow> test;
};
