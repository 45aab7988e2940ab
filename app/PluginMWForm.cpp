#include "PluginMWForm.h"

#include "settings/Settings.h"
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

// A control of a stored setting is named by its key: the settings file and the form's names
// cannot drift apart. Unstored ones name themselves.
template <class Widget>
Widget *place(QWidget *parent, const SettingKey &key, int x, int y, int w, int h)
{
    return place<Widget>(parent, key.name, x, y, w, h);
}

// Millimetre fields: one decimal, centred, typed or wheeled (no step buttons).
QDoubleSpinBox *mmSpin(QWidget *parent, const NumberSetting &setting, QRect geometry,
                       bool enabled = true, const char *unstoredName = nullptr)
{
    auto *spin =
        place<QDoubleSpinBox>(parent, unstoredName ? unstoredName : setting.key.name, geometry.x(),
                              geometry.y(), geometry.width(), geometry.height());
    spin->setDecimals(1);
    spin->setAlignment(Qt::AlignCenter);
    spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
    spin->setRange(setting.min, setting.max);
    spin->setSingleStep(setting.step);
    spin->setValue(setting.value);
    spin->setEnabled(enabled);
    return spin;
}

QCheckBox *checkBox(QWidget *parent, const SwitchSetting &setting, QRect geometry)
{
    auto *box = place<QCheckBox>(parent, setting.key, geometry.x(), geometry.y(), geometry.width(),
                                 geometry.height());
    box->setChecked(setting.value);
    return box;
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
    ipAddress = place<QLineEdit>(parent, Setting::IpAddress.key, 10, 10, 241, 21);
    ipAddress->setText(Setting::IpAddress.text());
    ipAddress->setAlignment(Qt::AlignCenter);
}

void PluginMWForm::setupPreviewPanel(QWidget *parent)
{
    conSend = checkBox(parent, Setting::ConSend, {122, 10, 101, 21});
    sendCount = place<QSpinBox>(parent, "sendCount", 232, 10, 51, 21);
    sendCount->setAlignment(Qt::AlignCenter);
    sendCount->setButtonSymbols(QAbstractSpinBox::NoButtons);
    sendCount->setRange(int(Setting::SendCount.min), int(Setting::SendCount.max));
    sendCount->setValue(int(Setting::SendCount.value));
    stopBtn = place<QPushButton>(parent, "stopBtn", 290, 10, 23, 23);
}

void PluginMWForm::setupMarginControls(QWidget *parent)
{
    paperView = place<PaperView>(parent, "paperView", 60, 40, 131, 191);
    topLbl = label(parent, "topLbl", {50, 10, 41, 20});
    topDspbx = mmSpin(parent, Setting::TopMargin, {100, 10, 51, 21}, false);
    topmmLbl = label(parent, "topmmLbl", {160, 10, 31, 20});
    bottomLbl = label(parent, "bottomLbl", {30, 240, 61, 20});
    bottomDspbx = mmSpin(parent, Setting::BottomMargin, {100, 240, 51, 21}, false);
    bottommmLbl = label(parent, "bottommmLbl", {160, 240, 31, 20});
    leftLbl = label(parent, "leftLbl", {0, 70, 41, 20});
    leftDspbx = mmSpin(parent, Setting::LeftMargin, {0, 100, 51, 21}, false);
    leftmmLbl = label(parent, "leftmmLbl", {0, 130, 31, 20});
    rightLbl = label(parent, "rightLbl", {200, 70, 51, 20});
    rightDspbx = mmSpin(parent, Setting::RightMargin, {200, 100, 51, 21}, false);
    rightmmLbl = label(parent, "rightmmLbl", {200, 130, 31, 20});
}

void PluginMWForm::setupMarkControls(QWidget *parent)
{
    markView = place<MarkView>(parent, "markView", 260, 80, 61, 61);
    realM2XLbl = label(parent, "realM2XLbl", {200, 10, 31, 20});
    realM2X = mmSpin(parent, Setting::RealM2X, {240, 10, 51, 21}, true, "realM2X");
    realM2Xmm = label(parent, "realM2Xmm", {300, 10, 21, 20});
    realM2YLbl = label(parent, "realM2YLbl", {200, 40, 31, 20});
    realM2Y = mmSpin(parent, Setting::RealM2Y, {240, 40, 51, 21}, true, "realM2Y");
    realM2Ymm = label(parent, "realM2Ymm", {300, 40, 21, 20});
    markWidthLbl = label(parent, "markWidthLbl", {200, 160, 31, 20});
    markWidthDspbx = mmSpin(parent, Setting::MarkWidth, {240, 160, 51, 21}, false);
    markWidthmmLbl = label(parent, "markWidthmmLbl", {300, 160, 21, 20});
    markHeightLbl = label(parent, "markHeightLbl", {200, 190, 31, 20});
    markHeightDspbx = mmSpin(parent, Setting::MarkHeight, {240, 190, 51, 21}, false);
    markHeightmmLbl = label(parent, "markHeightmmLbl", {300, 190, 21, 20});
    markWeightLbl = label(parent, "markWeightLbl", {200, 220, 31, 20});
    markWeightDspbx = mmSpin(parent, Setting::MarkWeight, {240, 220, 51, 21}, false);
    markWeightmmLbl = label(parent, "markWeightmmLbl", {300, 220, 21, 20});
}

void PluginMWForm::setupJobControls(QWidget *parent)
{
    cdrVersionLbl = label(parent, "cdrVersionLbl", {0, 280, 81, 20});
    cdrVersion = place<QComboBox>(parent, Setting::CdrVersion.key, 90, 280, 231, 21);
    cdrVersion->setFont(consolas(9));
    cdrVersion->addItems(Setting::CdrVersion.choices());
    cdrVersion->setCurrentText(Setting::CdrVersion.text());

    posNegCutLbl = label(parent, "posNegCutLbl", {0, 320, 71, 21});
    posLenLbl = label(parent, "posLenLbl", {80, 320, 21, 21});
    posLen = mmSpin(parent, Setting::PosLen, {100, 320, 51, 21});
    negLenLbl = label(parent, "negLenLbl", {160, 320, 21, 21});
    negLen = mmSpin(parent, Setting::NegLen, {180, 320, 51, 21});
    knifeOffsetChx = checkBox(parent, Setting::KnifeOffsetOn, {0, 350, 91, 21});
    knifeOffsetDspbx = mmSpin(parent, Setting::KnifeOffset, {100, 350, 51, 21});
    closeOffsetChx = checkBox(parent, Setting::CloseOffsetOn, {160, 350, 91, 21});
    closeOffsetDspbx = mmSpin(parent, Setting::CloseOffset, {260, 350, 51, 21});
}

void PluginMWForm::setupCheckBoxes(QWidget *parent)
{
    autoSort = checkBox(parent, Setting::AutoSort, {0, 380, 101, 21});
    // Named apart from its key (Setting::BlankCut).
    blankCut = place<QCheckBox>(parent, "blankCut", 160, 380, 101, 21);
    blankCut->setChecked(Setting::BlankCut.value);
    createEdge = checkBox(parent, Setting::CreateEdge, {0, 410, 311, 21});
    horizontalMark = checkBox(parent, Setting::HorizontalMark, {160, 410, 101, 21});
    horizontalMark->setTristate(false);
    horizontalMark->setEnabled(false);
    publishToPDF = checkBox(parent, Setting::PublishToPdf, {0, 440, 311, 21});
    useRJ45 = checkBox(parent, Setting::UseRj45, {0, 470, 311, 21});
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
