// The settings table itself: what no reader of one entry would notice.
#include "settings/Settings.h"

#include <QSet>
#include <QtTest>

#include <cmath>

class SettingsTableTest : public QObject
{
    Q_OBJECT
private slots:
    void numberDefaultIsAValueOfItsBox_data();
    void numberDefaultIsAValueOfItsBox();
    void keysAreUnique();
};

void SettingsTableTest::numberDefaultIsAValueOfItsBox_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("step");
#define VX_NUMBER(name, group, key, value, min, max, step)                                         \
    QTest::newRow(#name) << double(value) << double(min) << double(max) << double(step);
#define VX_SWITCH(...)
#define VX_TEXT(...)
#define VX_CHOICE(...)
#include "settings/SettingsTable.def"
}

// Within the range and on the box's step from its minimum, as the box would show it.
void SettingsTableTest::numberDefaultIsAValueOfItsBox()
{
    QFETCH(double, value);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, step);
    QVERIFY(min < max && step > 0);
    QVERIFY(value >= min && value <= max);
    const double steps = (value - min) / step;
    QVERIFY2(std::fabs(steps - std::round(steps)) < 1e-9, "off the step");
}

// Two settings on one key would overwrite each other in the file.
void SettingsTableTest::keysAreUnique()
{
    QSet<QString> seen;
    for (const SettingKey &key : Setting::allKeys()) {
        if (key.isStored())
            QVERIFY2(!seen.contains(key.path()), qPrintable(key.path()));
        seen.insert(key.path());
    }
    QVERIFY(Setting::CdrVersion.choices().contains(Setting::CdrVersion.text()));
}

QTEST_GUILESS_MAIN(SettingsTableTest)
#include "tst_settingstable.moc"
