#pragma once

#include "AppTestSupport.h"

#include <QObject>

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void choice_data();
    void choice();
    void englishForm();
    void messages_data();
    void messages();

private:
    std::unique_ptr<QTemporaryDir> dir;
};
