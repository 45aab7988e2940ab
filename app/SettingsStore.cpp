#include "SettingsStore.h"

#include "PluginMWForm.h"
#include "WindowSettings.h"
#include "common/SettingsFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSettings>

namespace {

const QString Group = QStringLiteral("VX_Plugin/");

const char *const KeysInOrder[] = {
    "ipAddress",      "topDspbx",         "leftDspbx",      "bottomDspbx",     "rightDspbx",
    "horizontalMark", "directCut",        "markWidthDspbx", "markHeightDspbx", "markWeightDspbx",
    "cdrVersion",     "posLen",           "negLen",         "knifeOffsetChx",  "knifeOffsetDspbx",
    "closeOffsetChx", "closeOffsetDspbx", "autoSort",       "conSend",         "createEdge",
    "publishToPDF",   "useRJ45"};

// A damaged file read before writing leaves a format error in the status even when the new
// file is written well, and that error would hide a later access error. Settings objects of one
// file share a cache, so look at the bytes written instead.
bool writtenCompletely(const QByteArray &text)
{
    const int group = text.indexOf("[VX_Plugin]");
    if (group < 0)
        return false;
    for (const char *key : KeysInOrder) {
        if (text.indexOf('\n' + QByteArray(key) + '=', group) < 0)
            return false;
    }
    return true;
}

} // namespace

void loadSettings(PluginMWForm &form, const QString &configPath)
{
    const WindowSettings s = readWindowSettings(configPath);
    form.ipAddress->setText(s.ipAddress);
    form.blankCut->setChecked(s.blankCut);
    form.cdrVersion->setCurrentIndex(form.cdrVersion->findText(s.cdrVersion));
    form.posLen->setValue(s.posLen);
    form.negLen->setValue(s.negLen);
    form.knifeOffsetChx->setChecked(s.knifeOffsetOn);
    form.knifeOffsetDspbx->setValue(s.knifeOffset);
    form.closeOffsetChx->setChecked(s.closeOffsetOn);
    form.closeOffsetDspbx->setValue(s.closeOffset);
    form.autoSort->setChecked(s.autoSort);
    form.conSend->setChecked(s.conSend);
    form.createEdge->setChecked(s.createEdge);
    form.publishToPDF->setChecked(s.publishToPDF);
    if (s.useRJ45)
        form.useRJ45->click();
}

Result<> saveSettings(const PluginMWForm &form, const QString &configPath)
{
    return editSettingsFile(
        configPath,
        [&form](QSettings &settings) {
            const auto write = [&settings](const char *key, const QVariant &value) {
                settings.setValue(Group + QLatin1String(key), value);
            };
            write("ipAddress", form.ipAddress->text());
            write("topDspbx", form.topDspbx->value());
            write("leftDspbx", form.leftDspbx->value());
            write("bottomDspbx", form.bottomDspbx->value());
            write("rightDspbx", form.rightDspbx->value());
            write("horizontalMark", form.horizontalMark->isChecked());
            write("directCut", form.blankCut->isChecked());
            write("markWidthDspbx", form.markWidthDspbx->value());
            write("markHeightDspbx", form.markHeightDspbx->value());
            write("markWeightDspbx", form.markWeightDspbx->value());
            write("cdrVersion", form.cdrVersion->currentText());
            write("posLen", form.posLen->value());
            write("negLen", form.negLen->value());
            write("knifeOffsetChx", form.knifeOffsetChx->isChecked());
            write("knifeOffsetDspbx", form.knifeOffsetDspbx->value());
            write("closeOffsetChx", form.closeOffsetChx->isChecked());
            write("closeOffsetDspbx", form.closeOffsetDspbx->value());
            write("autoSort", form.autoSort->isChecked());
            write("conSend", form.conSend->isChecked());
            write("createEdge", form.createEdge->isChecked());
            write("publishToPDF", form.publishToPDF->isChecked());
            write("useRJ45", form.useRJ45->isChecked());
        },
        writtenCompletely);
}
