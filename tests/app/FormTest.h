#pragma once

#include <QObject>
#include <QTemporaryDir>
#include <memory>

#include "AppTestSupport.h"

class FormTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controls_data();
    void controls();
    void spinBoxes_data();
    void spinBoxes();
    void otherControls();
    void icons_data();
    void icons();
    void fonts_data();
    void fonts();
    void focusOrder();
    void slotsInOrder();
    void slotsByNameReachControls_data();
    void slotsByNameReachControls();
    void textsTranslatable_data();
    void textsTranslatable();
    void window();

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TestWindow> test;
};
