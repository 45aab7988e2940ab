// The fixed form: every control by its object name with class, parent, place, texts, ranges,
// fonts, focus order and the window's slots. A wrong number here is a misplaced control.
#include "FormTest.h"

#include "app/PluginMWForm.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QSpinBox>
#include <QTranslator>
#include <QtTest>

namespace {

QString textOf(QWidget *w)
{
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    return QString();
}

void row(const char *name, const char *cls, const char *parent, QRect geometry,
         const QString &text = QString(), const QString &toolTip = QString(), bool enabled = true)
{
    QTest::newRow(name) << cls << parent << geometry << text << toolTip << enabled;
}

// Marks every text asked for in the window's own translation context.
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *source, const char * = nullptr,
                      int = -1) const override
    {
        if (qstrcmp(context, "PluginMW") != 0)
            return QString();
        return "[" + QString::fromUtf8(source) + "]";
    }
    bool isEmpty() const override { return false; }
};

} // namespace

void FormTest::init()
{
    dir.reset(new QTemporaryDir);
    test.reset(new TestWindow(dir->path()));
}

void FormTest::cleanup()
{
    test.reset();
    dir.reset();
}

void FormTest::controls_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("enabled");
    const char *top = "centralWidget";
    row("generateMark", "QPushButton", top, {10, 40, 41, 41}, "", "Add Mark");
    row("generateBoundary", "QPushButton", top, {60, 40, 41, 41}, "", "Create Boundary");
    row("printOut", "QPushButton", top, {110, 40, 41, 41}, "", "Setup Print");
    row("saveAsFile", "QPushButton", top, {160, 40, 41, 41}, "", "Save As *.plt");
    row("configCenter", "QPushButton", top, {210, 40, 41, 41}, "", "Settings");
    row("sendToCutter", "QPushButton", top, {260, 10, 71, 71}, "", "Send to Cutter");
    row("minBtn", "QPushButton", top, {280, 1, 30, 10}, "", "最小化");
    row("exitBtn", "QPushButton", top, {311, 1, 30, 10}, "", "关闭");
    row("macName", "QComboBox", top, {10, 11, 241, 21});
    row("ipAddress", "QLineEdit", top, {10, 10, 241, 21}, "192.168.0.200");
    row("paintWidget", "QPaintWidget", top, {10, 90, 321, 521});
    row("configWidget", "QWidget", top, {10, 90, 321, 521});
    const char *preview = "paintWidget";
    row("conSend", "QCheckBox", preview, {122, 10, 101, 21}, "Auto-Next:");
    row("sendCount", "QSpinBox", preview, {232, 10, 51, 21});
    row("stopBtn", "QPushButton", preview, {290, 10, 23, 23}, "■", "停止");
    const char *cfg = "configWidget";
    row("paperView", "PaperView", cfg, {60, 40, 131, 191});
    row("markView", "MarkView", cfg, {260, 80, 61, 61});
    row("topLbl", "QLabel", cfg, {50, 10, 41, 20}, "Top:");
    row("topDspbx", "QDoubleSpinBox", cfg, {100, 10, 51, 21}, "", "", false);
    row("topmmLbl", "QLabel", cfg, {160, 10, 31, 20}, "mm");
    row("bottomLbl", "QLabel", cfg, {30, 240, 61, 20}, "Bottom:");
    row("bottomDspbx", "QDoubleSpinBox", cfg, {100, 240, 51, 21}, "", "", false);
    row("bottommmLbl", "QLabel", cfg, {160, 240, 31, 20}, "mm");
    row("leftLbl", "QLabel", cfg, {0, 70, 41, 20}, "Left:");
    row("leftDspbx", "QDoubleSpinBox", cfg, {0, 100, 51, 21}, "", "", false);
    row("leftmmLbl", "QLabel", cfg, {0, 130, 31, 20}, "mm");
    row("rightLbl", "QLabel", cfg, {200, 70, 51, 20}, "Right:");
    row("rightDspbx", "QDoubleSpinBox", cfg, {200, 100, 51, 21}, "", "", false);
    row("rightmmLbl", "QLabel", cfg, {200, 130, 31, 20}, "mm");
    row("realM2XLbl", "QLabel", cfg, {200, 10, 31, 20}, "RMX:");
    row("realM2X", "QDoubleSpinBox", cfg, {240, 10, 51, 21});
    row("realM2Xmm", "QLabel", cfg, {300, 10, 21, 20}, "mm");
    row("realM2YLbl", "QLabel", cfg, {200, 40, 31, 20}, "RMY:");
    row("realM2Y", "QDoubleSpinBox", cfg, {240, 40, 51, 21});
    row("realM2Ymm", "QLabel", cfg, {300, 40, 21, 20}, "mm");
    row("markWidthLbl", "QLabel", cfg, {200, 160, 31, 20}, "Wd:");
    row("markWidthDspbx", "QDoubleSpinBox", cfg, {240, 160, 51, 21}, "", "", false);
    row("markWidthmmLbl", "QLabel", cfg, {300, 160, 21, 20}, "mm");
    row("markHeightLbl", "QLabel", cfg, {200, 190, 31, 20}, "H:");
    row("markHeightDspbx", "QDoubleSpinBox", cfg, {240, 190, 51, 21}, "", "", false);
    row("markHeightmmLbl", "QLabel", cfg, {300, 190, 21, 20}, "mm");
    row("markWeightLbl", "QLabel", cfg, {200, 220, 31, 20}, "We:");
    row("markWeightDspbx", "QDoubleSpinBox", cfg, {240, 220, 51, 21}, "", "", false);
    row("markWeightmmLbl", "QLabel", cfg, {300, 220, 21, 20}, "mm");
    row("cdrVersionLbl", "QLabel", cfg, {0, 280, 81, 20}, "CorelDraw:");
    row("cdrVersion", "QComboBox", cfg, {90, 280, 231, 21});
    row("posNegCutLbl", "QLabel", cfg, {0, 320, 71, 21}, "Dash Line:");
    row("posLenLbl", "QLabel", cfg, {80, 320, 21, 21}, "Pos:");
    row("posLen", "QDoubleSpinBox", cfg, {100, 320, 51, 21});
    row("negLenLbl", "QLabel", cfg, {160, 320, 21, 21}, "Neg:");
    row("negLen", "QDoubleSpinBox", cfg, {180, 320, 51, 21});
    row("knifeOffsetChx", "QCheckBox", cfg, {0, 350, 91, 21}, "Knife:");
    row("knifeOffsetDspbx", "QDoubleSpinBox", cfg, {100, 350, 51, 21});
    row("closeOffsetChx", "QCheckBox", cfg, {160, 350, 91, 21}, "Close:");
    row("closeOffsetDspbx", "QDoubleSpinBox", cfg, {260, 350, 51, 21});
    row("autoSort", "QCheckBox", cfg, {0, 380, 101, 21}, "Auto-Sort");
    row("blankCut", "QCheckBox", cfg, {160, 380, 101, 21}, "Cut-Blank");
    row("createEdge", "QCheckBox", cfg, {0, 410, 311, 21}, "Create Cut Boundary");
    row("horizontalMark", "QCheckBox", cfg, {160, 410, 101, 21}, "横向标记点", "", false);
    row("publishToPDF", "QCheckBox", cfg, {0, 440, 311, 21}, "Save PDF instead of Print");
    row("useRJ45", "QCheckBox", cfg, {0, 470, 311, 21}, "Send by RJ45");
    row("versionLbl", "RollLabel", cfg, {10, 500, 301, 20});
}

void FormTest::controls()
{
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    auto *w = test->window->findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable("no control " + name));
    QTEST(QString::fromLatin1(w->metaObject()->className()), "className");
    QTEST(w->parentWidget()->objectName(), "parentName");
    QTEST(w->geometry(), "geometry");
    QTEST(textOf(w), "text");
    QTEST(w->toolTip(), "toolTip");
    QTEST(w->isEnabled(), "enabled");
}

void FormTest::spinBoxes_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("value");
    QTest::newRow("topDspbx") << 8.0 << 30.0 << 0.5 << 22.5;
    QTest::newRow("bottomDspbx") << 8.0 << 50.0 << 0.5 << 38.5;
    QTest::newRow("leftDspbx") << 8.0 << 15.0 << 0.5 << 8.5;
    QTest::newRow("rightDspbx") << 8.0 << 15.0 << 0.5 << 8.5;
    QTest::newRow("realM2X") << 17.5 << 27.5 << 0.5 << 22.5;
    QTest::newRow("realM2Y") << 3.5 << 13.5 << 0.5 << 8.5;
    QTest::newRow("markWidthDspbx") << 5.0 << 15.0 << 1.0 << 9.0;
    QTest::newRow("markHeightDspbx") << 5.0 << 15.0 << 1.0 << 9.0;
    QTest::newRow("markWeightDspbx") << 0.5 << 1.5 << 0.1 << 1.0;
    QTest::newRow("posLen") << 1.0 << 100.0 << 1.0 << 10.0;
    QTest::newRow("negLen") << 0.1 << 1.0 << 0.1 << 0.1;
    QTest::newRow("knifeOffsetDspbx") << 0.1 << 1.5 << 0.1 << 0.3;
    QTest::newRow("closeOffsetDspbx") << 0.1 << 3.0 << 0.1 << 0.5;
}

void FormTest::spinBoxes()
{
    auto *spin = test->window->findChild<QDoubleSpinBox *>(QTest::currentDataTag());
    QVERIFY(spin);
    QTEST(spin->minimum(), "minimum");
    QTEST(spin->maximum(), "maximum");
    QTEST(spin->singleStep(), "step");
    QTEST(spin->value(), "value");
    QCOMPARE(spin->decimals(), 1);
    QCOMPARE(spin->alignment(), Qt::AlignCenter);
    QCOMPARE(spin->buttonSymbols(), QAbstractSpinBox::NoButtons);
}

void FormTest::otherControls()
{
    PluginMWForm *f = test->window->controls();
    QCOMPARE(f->sendCount->minimum(), 0);
    QCOMPARE(f->sendCount->maximum(), 500);
    QCOMPARE(f->sendCount->value(), 50);
    QCOMPARE(f->sendCount->buttonSymbols(), QAbstractSpinBox::NoButtons);
    QCOMPARE(f->ipAddress->alignment(), Qt::AlignCenter);
    QCOMPARE(f->cdrVersion->count(), 10);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(f->cdrVersion->itemText(i), QString("CorelDraw.Application.%1").arg(14 + i));
    QCOMPARE(f->cdrVersion->currentIndex(), 0);
    QCOMPARE(f->macName->count(), 0);
    QVERIFY(!f->horizontalMark->isTristate());
    QCOMPARE(f->minBtn->styleSheet(), QString("background-color: rgb(0, 255, 0);"));
    QCOMPARE(f->exitBtn->styleSheet(), QString("background-color: rgb(255, 0, 0);"));
    for (QCheckBox *box : test->window->findChildren<QCheckBox *>())
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
}

void FormTest::icons_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<int>("side");
    QTest::newRow("generateMark") << ":/png/MarkCrossBtn.png" << 35;
    QTest::newRow("generateBoundary") << ":/png/LayerBtn.png" << 30;
    QTest::newRow("printOut") << ":/png/PrintBtn.png" << 30;
    QTest::newRow("saveAsFile") << ":/png/SavePltBtn.png" << 30;
    QTest::newRow("configCenter") << ":/png/ConfigBtn.png" << 30;
    QTest::newRow("sendToCutter") << ":/png/CutBtn.png" << 60;
}

void FormTest::icons()
{
    QFETCH(QString, image);
    QFETCH(int, side);
    auto *button = test->window->findChild<QAbstractButton *>(QTest::currentDataTag());
    QVERIFY(button);
    QCOMPARE(button->iconSize(), QSize(side, side));
    QVERIFY(iconShows(button->icon(), image, side));
    QCOMPARE(QPixmap(image).size(), QSize(side, side)); // our images are drawn at that size
}

void FormTest::fonts_data()
{
    QTest::addColumn<int>("pointSize"); // 0: the default size
    QTest::newRow("macName") << 10;
    QTest::newRow("cdrVersion") << 9;
    QTest::newRow("generateMark") << 0;
    QTest::newRow("topLbl") << 0;
    QTest::newRow("useRJ45") << 0;
    QTest::newRow("versionLbl") << 0;
    QTest::newRow("sendCount") << 0;
}

void FormTest::fonts()
{
    QFETCH(int, pointSize);
    auto *w = test->window->findChild<QWidget *>(QTest::currentDataTag());
    QVERIFY(w);
    QCOMPARE(w->font().family(), QString("Consolas"));
    QCOMPARE(w->font().pointSize(), pointSize ? pointSize : QFont().pointSize());
    QCOMPARE(w->font().weight(), 50);
}

void FormTest::focusOrder()
{
    const QStringList order = {
        "minBtn",          "exitBtn",         "macName",      "generateMark",   "generateBoundary",
        "printOut",        "saveAsFile",      "configCenter", "sendToCutter",   "topDspbx",
        "leftDspbx",       "bottomDspbx",     "rightDspbx",   "horizontalMark", "markWidthDspbx",
        "markHeightDspbx", "markWeightDspbx", "cdrVersion"};
    for (int i = 1; i < order.size(); ++i) {
        auto *from = test->window->findChild<QWidget *>(order[i - 1]);
        QVERIFY(from);
        QWidget *next = from->nextInFocusChain();
        while (next && next->parentWidget() == from) // a spin box's own line edit
            next = next->nextInFocusChain();
        QCOMPARE(next ? next->objectName() : QString(), order[i]);
    }
}

void FormTest::slotsInOrder()
{
    const QStringList expected = {"on_socket_read()",
                                  "on_painter_configChanged()",
                                  "on_generateMark_clicked()",
                                  "on_generateBoundary_clicked()",
                                  "on_printOut_clicked()",
                                  "on_saveAsFile_clicked()",
                                  "on_configCenter_clicked()",
                                  "on_sendToCutter_clicked()",
                                  "on_minBtn_clicked()",
                                  "on_exitBtn_clicked()",
                                  "on_horizontalMark_stateChanged(int)",
                                  "on_blankCut_stateChanged(int)",
                                  "on_createEdge_stateChanged(int)",
                                  "on_publishToPDF_stateChanged(int)",
                                  "on_stopBtn_clicked()",
                                  "on_useRJ45_clicked(bool)"};
    const QMetaObject *meta = test->window->metaObject();
    QStringList found;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod m = meta->method(i);
        if (m.methodType() == QMetaMethod::Slot && m.access() == QMetaMethod::Private)
            found << QString::fromLatin1(m.methodSignature());
    }
    QCOMPARE(found, expected);
}

// connectSlotsByName skips a slot whose control was renamed without a word at run time, so each
// on_<control>_<signal> slot needs a control of that name with a signal it can take.
void FormTest::slotsByNameReachControls_data()
{
    QTest::addColumn<int>("slotIndex");
    // Connected in code, not by name: the socket and the preview's many spin boxes.
    const QByteArrayList byHand = {"on_socket_read()", "on_painter_configChanged()"};
    const QMetaObject &meta = PluginMW::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod slot = meta.method(i);
        const QByteArray signature = slot.methodSignature();
        if (slot.methodType() == QMetaMethod::Slot && signature.startsWith("on_") &&
            !byHand.contains(signature))
            QTest::newRow(signature.constData()) << i;
    }
}

void FormTest::slotsByNameReachControls()
{
    QFETCH(int, slotIndex);
    const QMetaMethod slot = test->window->metaObject()->method(slotIndex);
    const QByteArray name = slot.name().mid(3);
    const int split = name.lastIndexOf('_');
    const QString control = QString::fromLatin1(name.left(split));
    const QByteArray signal = name.mid(split + 1);
    int matches = 0;
    for (QObject *child : test->window->findChildren<QObject *>(control)) {
        const QMetaObject *meta = child->metaObject();
        for (int i = 0; i < meta->methodCount(); ++i) {
            const QMetaMethod m = meta->method(i);
            matches += m.methodType() == QMetaMethod::Signal && m.name() == signal &&
                       QMetaObject::checkConnectArgs(m, slot);
        }
    }
    QVERIFY2(matches > 0, qPrintable("no control \"" + control + "\" with that signal"));
}

void FormTest::textsTranslatable_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("shown");
    QTest::newRow("tool tip") << "generateMark" << QByteArray("toolTip") << "[Add Mark]";
    QTest::newRow("Chinese tool tip") << "exitBtn" << QByteArray("toolTip") << "[关闭]";
    QTest::newRow("check box") << "useRJ45" << QByteArray("text") << "[Send by RJ45]";
    QTest::newRow("label") << "cdrVersionLbl" << QByteArray("text") << "[CorelDraw:]";
    QTest::newRow("preview panel") << "conSend" << QByteArray("text") << "[Auto-Next:]";
}

void FormTest::textsTranslatable()
{
    QFETCH(QString, control);
    QFETCH(QByteArray, property);
    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    TestWindow translated(dir->path());
    QCoreApplication::removeTranslator(&translator);
    QObject *target = translated.window->findChild<QObject *>(control);
    QVERIFY(target);
    QTEST(target->property(property.constData()).toString(), "shown");
}

void FormTest::window()
{
    PluginMW *w = test->window.get();
    QCOMPARE(w->objectName(), QString("PluginMW"));
    QCOMPARE(w->windowFlags() & ~Qt::WindowType_Mask,
             Qt::WindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint));
    QCOMPARE(w->size(), QSize(341, 91));
    QCOMPARE(w->minimumSize(), QSize(341, 91));
    QCOMPARE(w->maximumSize(), QSize(341, 621));
    QVERIFY(w->windowTitle().isEmpty());
    QVERIFY(!w->windowIcon().isNull());
    QVERIFY(!w->windowIcon().pixmap(32, 32).isNull());
    QCOMPARE(w->centralWidget()->objectName(), QString("centralWidget"));
}

QTEST_MAIN(FormTest)
