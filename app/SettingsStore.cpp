#include "SettingsStore.h"

#include "PluginMWForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSettings>

namespace {

const QString Group = QStringLiteral("VX_Plugin/");

QVariant read(const QSettings &settings, const char *key)
{
    return settings.value(Group + QLatin1String(key), QString());
}

} // namespace

void loadSettings(PluginMWForm &form, const QString &configPath)
{
    QSettings settings(configPath, QSettings::IniFormat);
    form.ipAddress->setText(read(settings, "ipAddress").toString());
    form.blankCut->setChecked(read(settings, "directCut").toBool());
    const int version = form.cdrVersion->findText(read(settings, "cdrVersion").toString());
    if (version >= 0)
        form.cdrVersion->setCurrentIndex(version);
    form.posLen->setValue(read(settings, "posLen").toDouble());
    form.negLen->setValue(read(settings, "negLen").toDouble());
    form.knifeOffsetChx->setChecked(read(settings, "knifeOffsetChx").toBool());
    form.knifeOffsetDspbx->setValue(read(settings, "knifeOffsetDspbx").toDouble());
    form.closeOffsetChx->setChecked(read(settings, "closeOffsetChx").toBool());
    form.closeOffsetDspbx->setValue(read(settings, "closeOffsetDspbx").toDouble());
    form.autoSort->setChecked(read(settings, "autoSort").toBool());
    form.conSend->setChecked(read(settings, "conSend").toBool());
    form.createEdge->setChecked(read(settings, "createEdge").toBool());
    form.publishToPDF->setChecked(read(settings, "publishToPDF").toBool());
    if (read(settings, "useRJ45").toBool())
        form.useRJ45->click();
}

bool saveSettings(const PluginMWForm &form, const QString &configPath, QString *error)
{
    QSettings settings(configPath, QSettings::IniFormat);
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
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    if (error) {
        *error = settings.status() == QSettings::AccessError
                     ? QStringLiteral("%1 cannot be written").arg(configPath)
                     : QStringLiteral("%1 is malformed").arg(configPath);
    }
    return false;
}
