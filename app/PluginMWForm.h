#pragma once
// Every control of the main window at its fixed pixel place (no layouts), with its texts. The
// window owns the controls through the Qt parent tree; this only keeps pointers to them.

#include <QCoreApplication>

class MarkView;
class PaperView;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPaintWidget;
class QPushButton;
class QSpinBox;
class QWidget;
class RollLabel;

class PluginMWForm
{
    // The form's texts are the window's: tr() here translates in the context "PluginMW".
    Q_DECLARE_TR_FUNCTIONS(PluginMW)

public:
    // Builds the controls on `window`, sizes it 341 x 621, sets its icon and texts, then
    // connects the window's on_<objectName>_<signal> slots by name.
    void setupForm(QMainWindow *window);
    // Applies every visible text through the translation function, context "PluginMW".
    void retranslateForm(QMainWindow *window);

    QWidget *centralWidget = nullptr;

    // Top bar.
    QPushButton *generateMark = nullptr;
    QPushButton *generateBoundary = nullptr;
    QPushButton *printOut = nullptr;
    QPushButton *saveAsFile = nullptr;
    QPushButton *configCenter = nullptr;
    QPushButton *sendToCutter = nullptr;
    QPushButton *minBtn = nullptr;
    QPushButton *exitBtn = nullptr;
    QComboBox *macName = nullptr;
    QLineEdit *ipAddress = nullptr;

    // Preview panel.
    QPaintWidget *paintWidget = nullptr;
    QCheckBox *conSend = nullptr;
    QSpinBox *sendCount = nullptr;
    QPushButton *stopBtn = nullptr;

    // Settings panel; lengths in millimetres.
    QWidget *configWidget = nullptr;
    PaperView *paperView = nullptr;
    MarkView *markView = nullptr;
    QLabel *topLbl = nullptr;
    QDoubleSpinBox *topDspbx = nullptr;
    QLabel *topmmLbl = nullptr;
    QLabel *bottomLbl = nullptr;
    QDoubleSpinBox *bottomDspbx = nullptr;
    QLabel *bottommmLbl = nullptr;
    QLabel *leftLbl = nullptr;
    QDoubleSpinBox *leftDspbx = nullptr;
    QLabel *leftmmLbl = nullptr;
    QLabel *rightLbl = nullptr;
    QDoubleSpinBox *rightDspbx = nullptr;
    QLabel *rightmmLbl = nullptr;
    QLabel *realM2XLbl = nullptr;
    QDoubleSpinBox *realM2X = nullptr;
    QLabel *realM2Xmm = nullptr;
    QLabel *realM2YLbl = nullptr;
    QDoubleSpinBox *realM2Y = nullptr;
    QLabel *realM2Ymm = nullptr;
    QLabel *markWidthLbl = nullptr;
    QDoubleSpinBox *markWidthDspbx = nullptr;
    QLabel *markWidthmmLbl = nullptr;
    QLabel *markHeightLbl = nullptr;
    QDoubleSpinBox *markHeightDspbx = nullptr;
    QLabel *markHeightmmLbl = nullptr;
    QLabel *markWeightLbl = nullptr;
    QDoubleSpinBox *markWeightDspbx = nullptr;
    QLabel *markWeightmmLbl = nullptr;
    QLabel *cdrVersionLbl = nullptr;
    QComboBox *cdrVersion = nullptr;
    QLabel *posNegCutLbl = nullptr;
    QLabel *posLenLbl = nullptr;
    QDoubleSpinBox *posLen = nullptr; // dash length
    QLabel *negLenLbl = nullptr;
    QDoubleSpinBox *negLen = nullptr; // gap length
    QCheckBox *knifeOffsetChx = nullptr;
    QDoubleSpinBox *knifeOffsetDspbx = nullptr;
    QCheckBox *closeOffsetChx = nullptr;
    QDoubleSpinBox *closeOffsetDspbx = nullptr;
    QCheckBox *autoSort = nullptr;
    QCheckBox *blankCut = nullptr;
    QCheckBox *createEdge = nullptr;
    QCheckBox *horizontalMark = nullptr;
    QCheckBox *publishToPDF = nullptr;
    QCheckBox *useRJ45 = nullptr;
    RollLabel *versionLbl = nullptr;

private:
    void setupTopBar(QWidget *parent);
    void setupPreviewPanel(QWidget *parent);
    void setupMarginControls(QWidget *parent);
    void setupMarkControls(QWidget *parent);
    void setupJobControls(QWidget *parent);
    void setupCheckBoxes(QWidget *parent);
    void setTabOrder();
    void retranslateSettings();
};
