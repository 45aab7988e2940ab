#include "PluginMWForm.h"

#include "views/MarkView.h"
#include "views/PaperView.h"
#include "views/QPaintWidget.h"
#include "views/RollLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSpinBox>

// The images live in this library, which the linker would drop without a reference.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

QFont consolas(int pointSize = -1)
{
    QFont font;
    font.setFamily(QStringLiteral("Consolas"));
    if (pointSize > 0) {
        font.setPointSize(pointSize);
        font.setWeight(50);
    }
    return font;
}

template <class Widget> Widget *place(QWidget *parent, const char *name, int x, int y, int w, int h)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    widget->setFont(consolas());
    return widget;
}

QPushButton *iconButton(QWidget *parent, const char *name, QRect geometry, const char *icon,
                        int iconSide)
{
    auto *button = place<QPushButton>(parent, name, geometry.x(), geometry.y(), geometry.width(),
                                      geometry.height());
    if (icon)
        button->setIcon(QIcon(QString::fromLatin1(icon)));
    button->setIconSize(QSize(iconSide, iconSide));
    return button;
}

// Millimetre fields: one decimal, centred, typed or wheeled (no step buttons).
QDoubleSpinBox *mmSpin(QWidget *parent, const char *name, QRect geometry, double min, double max,
                       double step, double value, bool enabled = true)
{
    auto *spin = place<QDoubleSpinBox>(parent, name, geometry.x(), geometry.y(), geometry.width(),
                                       geometry.height());
    spin->setDecimals(1);
    spin->setAlignment(Qt::AlignCenter);
    spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
    spin->setRange(min, max);
    spin->setSingleStep(step);
    spin->setValue(value);
    spin->setEnabled(enabled);
    return spin;
}

QLabel *label(QWidget *parent, const char *name, QRect geometry)
{
    return place<QLabel>(parent, name, geometry.x(), geometry.y(), geometry.width(),
                         geometry.height());
}

} // namespace

void PluginMWForm::setupForm(QMainWindow *window)
{
    initResources();
    window->setObjectName(QStringLiteral("PluginMW"));
    window->resize(341, 621);
    window->setWindowIcon(QIcon(QStringLiteral(":/pluginICO.ico")));

    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    setupTopBar(centralWidget);

    paintWidget = place<QPaintWidget>(centralWidget, "paintWidget", 10, 90, 321, 521);
    setupPreviewPanel(paintWidget);

    configWidget = place<QWidget>(centralWidget, "configWidget", 10, 90, 321, 521);
    setupMarginControls(configWidget);
    setupMarkControls(configWidget);
    setupJobControls(configWidget);
    setupCheckBoxes(configWidget);
    versionLbl = place<RollLabel>(configWidget, "versionLbl", 10, 500, 301, 20);

    window->setCentralWidget(centralWidget);
    setTabOrder();
    retranslateForm(window);
    QMetaObject::connectSlotsByName(window);
}

void PluginMWForm::setupTopBar(QWidget *parent)
{
    generateMark =
        iconButton(parent, "generateMark", {10, 40, 41, 41}, ":/png/MarkCrossBtn.png", 35);
    generateBoundary =
        iconButton(parent, "generateBoundary", {60, 40, 41, 41}, ":/png/LayerBtn.png", 30);
    printOut = iconButton(parent, "printOut", {110, 40, 41, 41}, ":/png/PrintBtn.png", 30);
    saveAsFile = iconButton(parent, "saveAsFile", {160, 40, 41, 41}, ":/png/SavePltBtn.png", 30);
    configCenter = iconButton(parent, "configCenter", {210, 40, 41, 41}, ":/png/ConfigBtn.png", 30);
    sendToCutter = iconButton(parent, "sendToCutter", {260, 10, 71, 71}, ":/png/CutBtn.png", 60);
    minBtn = iconButton(parent, "minBtn", {280, 1, 30, 10}, nullptr, 10);
    minBtn->setStyleSheet(QStringLiteral("background-color: rgb(0, 255, 0);"));
    exitBtn = iconButton(parent, "exitBtn", {311, 1, 30, 10}, nullptr, 10);
    exitBtn->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));

    macName = place<QComboBox>(parent, "macName", 10, 11, 241, 21);
    macName->setFont(consolas(10));
    ipAddress = place<QLineEdit>(parent, "ipAddress", 10, 10, 241, 21);
    ipAddress->setAlignment(Qt::AlignCenter);
}

void PluginMWForm::setupPreviewPanel(QWidget *parent)
{
    conSend = place<QCheckBox>(parent, "conSend", 122, 10, 101, 21);
    sendCount = place<QSpinBox>(parent, "sendCount", 232, 10, 51, 21);
    sendCount->setAlignment(Qt::AlignCenter);
    sendCount->setButtonSymbols(QAbstractSpinBox::NoButtons);
    sendCount->setRange(0, 500);
    sendCount->setValue(50);
    stopBtn = place<QPushButton>(parent, "stopBtn", 290, 10, 23, 23);
}

void PluginMWForm::setupMarginControls(QWidget *parent)
{
    paperView = place<PaperView>(parent, "paperView", 60, 40, 131, 191);
    topLbl = label(parent, "topLbl", {50, 10, 41, 20});
    topDspbx = mmSpin(parent, "topDspbx", {100, 10, 51, 21}, 8.0, 30.0, 0.5, 22.5, false);
    topmmLbl = label(parent, "topmmLbl", {160, 10, 31, 20});
    bottomLbl = label(parent, "bottomLbl", {30, 240, 61, 20});
    bottomDspbx = mmSpin(parent, "bottomDspbx", {100, 240, 51, 21}, 8.0, 50.0, 0.5, 38.5, false);
    bottommmLbl = label(parent, "bottommmLbl", {160, 240, 31, 20});
    leftLbl = label(parent, "leftLbl", {0, 70, 41, 20});
    leftDspbx = mmSpin(parent, "leftDspbx", {0, 100, 51, 21}, 8.0, 15.0, 0.5, 8.5, false);
    leftmmLbl = label(parent, "leftmmLbl", {0, 130, 31, 20});
    rightLbl = label(parent, "rightLbl", {200, 70, 51, 20});
    rightDspbx = mmSpin(parent, "rightDspbx", {200, 100, 51, 21}, 8.0, 15.0, 0.5, 8.5, false);
    rightmmLbl = label(parent, "rightmmLbl", {200, 130, 31, 20});
}

void PluginMWForm::setupMarkControls(QWidget *parent)
{
    markView = place<MarkView>(parent, "markView", 260, 80, 61, 61);
    realM2XLbl = label(parent, "realM2XLbl", {200, 10, 31, 20});
    realM2X = mmSpin(parent, "realM2X", {240, 10, 51, 21}, 17.5, 27.5, 0.5, 22.5);
    realM2Xmm = label(parent, "realM2Xmm", {300, 10, 21, 20});
    realM2YLbl = label(parent, "realM2YLbl", {200, 40, 31, 20});
    realM2Y = mmSpin(parent, "realM2Y", {240, 40, 51, 21}, 3.5, 13.5, 0.5, 8.5);
    realM2Ymm = label(parent, "realM2Ymm", {300, 40, 21, 20});
    markWidthLbl = label(parent, "markWidthLbl", {200, 160, 31, 20});
    markWidthDspbx = mmSpin(parent, "markWidthDspbx", {240, 160, 51, 21}, 5.0, 15.0, 1, 9.0, false);
    markWidthmmLbl = label(parent, "markWidthmmLbl", {300, 160, 21, 20});
    markHeightLbl = label(parent, "markHeightLbl", {200, 190, 31, 20});
    markHeightDspbx =
        mmSpin(parent, "markHeightDspbx", {240, 190, 51, 21}, 5.0, 15.0, 1, 9.0, false);
    markHeightmmLbl = label(parent, "markHeightmmLbl", {300, 190, 21, 20});
    markWeightLbl = label(parent, "markWeightLbl", {200, 220, 31, 20});
    markWeightDspbx =
        mmSpin(parent, "markWeightDspbx", {240, 220, 51, 21}, 0.5, 1.5, 0.1, 1.0, false);
    markWeightmmLbl = label(parent, "markWeightmmLbl", {300, 220, 21, 20});
}

void PluginMWForm::setupJobControls(QWidget *parent)
{
    cdrVersionLbl = label(parent, "cdrVersionLbl", {0, 280, 81, 20});
    cdrVersion = place<QComboBox>(parent, "cdrVersion", 90, 280, 231, 21);
    cdrVersion->setFont(consolas(9));
    for (int version = 14; version <= 23; ++version)
        cdrVersion->addItem(QStringLiteral("CorelDraw.Application.%1").arg(version));
    cdrVersion->setCurrentIndex(0);

    posNegCutLbl = label(parent, "posNegCutLbl", {0, 320, 71, 21});
    posLenLbl = label(parent, "posLenLbl", {80, 320, 21, 21});
    posLen = mmSpin(parent, "posLen", {100, 320, 51, 21}, 1.0, 100.0, 1.0, 10.0);
    negLenLbl = label(parent, "negLenLbl", {160, 320, 21, 21});
    negLen = mmSpin(parent, "negLen", {180, 320, 51, 21}, 0.1, 1.0, 0.1, 0.1);
    knifeOffsetChx = place<QCheckBox>(parent, "knifeOffsetChx", 0, 350, 91, 21);
    knifeOffsetDspbx = mmSpin(parent, "knifeOffsetDspbx", {100, 350, 51, 21}, 0.1, 1.5, 0.1, 0.3);
    closeOffsetChx = place<QCheckBox>(parent, "closeOffsetChx", 160, 350, 91, 21);
    closeOffsetDspbx = mmSpin(parent, "closeOffsetDspbx", {260, 350, 51, 21}, 0.1, 3.0, 0.1, 0.5);
}

void PluginMWForm::setupCheckBoxes(QWidget *parent)
{
    autoSort = place<QCheckBox>(parent, "autoSort", 0, 380, 101, 21);
    blankCut = place<QCheckBox>(parent, "blankCut", 160, 380, 101, 21);
    createEdge = place<QCheckBox>(parent, "createEdge", 0, 410, 311, 21);
    horizontalMark = place<QCheckBox>(parent, "horizontalMark", 160, 410, 101, 21);
    horizontalMark->setTristate(false);
    horizontalMark->setEnabled(false);
    publishToPDF = place<QCheckBox>(parent, "publishToPDF", 0, 440, 311, 21);
    useRJ45 = place<QCheckBox>(parent, "useRJ45", 0, 470, 311, 21);
}

void PluginMWForm::setTabOrder()
{
    const QList<QWidget *> order = {
        minBtn,     exitBtn,        macName,        generateMark,    generateBoundary, printOut,
        saveAsFile, configCenter,   sendToCutter,   topDspbx,        leftDspbx,        bottomDspbx,
        rightDspbx, horizontalMark, markWidthDspbx, markHeightDspbx, markWeightDspbx,  cdrVersion,
    };
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void PluginMWForm::retranslateForm(QMainWindow *window)
{
    window->setWindowTitle(QString());
    generateMark->setToolTip(tr("Add Mark"));
    generateBoundary->setToolTip(tr("Create Boundary"));
    printOut->setToolTip(tr("Setup Print"));
    saveAsFile->setToolTip(tr("Save As *.plt"));
    configCenter->setToolTip(tr("Settings"));
    sendToCutter->setToolTip(tr("Send to Cutter"));
    minBtn->setToolTip(tr("最小化"));
    exitBtn->setToolTip(tr("关闭"));
    for (QPushButton *button : {generateMark, generateBoundary, printOut, saveAsFile, configCenter,
                                sendToCutter, minBtn, exitBtn})
        button->setText(QString());
    ipAddress->setText(tr("192.168.0.200"));
    conSend->setText(tr("Auto-Next:"));
    stopBtn->setText(tr("■"));
    stopBtn->setToolTip(tr("停止"));
    retranslateSettings();
}

void PluginMWForm::retranslateSettings()
{
    topLbl->setText(tr("Top:"));
    bottomLbl->setText(tr("Bottom:"));
    leftLbl->setText(tr("Left:"));
    rightLbl->setText(tr("Right:"));
    for (QLabel *mm : {topmmLbl, bottommmLbl, leftmmLbl, rightmmLbl, realM2Xmm, realM2Ymm,
                       markWidthmmLbl, markHeightmmLbl, markWeightmmLbl})
        mm->setText(tr("mm"));
    realM2XLbl->setText(tr("RMX:"));
    realM2YLbl->setText(tr("RMY:"));
    markWidthLbl->setText(tr("Wd:"));
    markHeightLbl->setText(tr("H:"));
    markWeightLbl->setText(tr("We:"));
    cdrVersionLbl->setText(tr("CorelDraw:"));
    posNegCutLbl->setText(tr("Dash Line:"));
    posLenLbl->setText(tr("Pos:"));
    negLenLbl->setText(tr("Neg:"));
    knifeOffsetChx->setText(tr("Knife:"));
    closeOffsetChx->setText(tr("Close:"));
    autoSort->setText(tr("Auto-Sort"));
    blankCut->setText(tr("Cut-Blank"));
    createEdge->setText(tr("Create Cut Boundary"));
    horizontalMark->setText(tr("横向标记点"));
    publishToPDF->setText(tr("Save PDF instead of Print"));
    useRJ45->setText(tr("Send by RJ45"));
}
