#include "SettingsFile.h"

#include "common/BoundedRead.h"
#include "common/WholeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// A copy of the file at `path` in `scratch` (empty when the file does not exist yet); false when
// it cannot be made.
bool copyInto(const QTemporaryDir &scratch, const QString &path, QString *copy)
{
    *copy = scratch.filePath(QStringLiteral("settings.ini"));
    return scratch.isValid() && (!QFileInfo(path).isFile() || QFile::copy(path, *copy));
}

} // namespace

Result<> editSettingsFile(const QString &path, const std::function<void(QSettings &)> &edit,
                          const std::function<bool(const QByteArray &)> &complete)
{
    const Failure unwritable{QStringLiteral("%1 cannot be written").arg(path)};
    QTemporaryDir scratchDir;
    QString scratch;
    if (!copyInto(scratchDir, path, &scratch))
        return unwritable;
    Result<QByteArray> text = Failure{QString()};
    {
        QSettings settings(scratch, QSettings::IniFormat);
        edit(settings);
        settings.sync();
        if (settings.status() == QSettings::AccessError)
            return unwritable;
        text = readRegularFile(scratch, MaxSmallFileBytes);
    }
    if (!text || (complete && !complete(*text)))
        return unwritable;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Failure{QStringLiteral("cannot make the folder of %1").arg(path)};
    return writeWholeFile(path, {*text});
}

QVariant settingsFileValue(const QString &path, const QString &key, const QVariant &fallback)
{
    QTemporaryDir scratchDir;
    QString scratch;
    if (!QFileInfo(path).isFile() || !copyInto(scratchDir, path, &scratch))
        return fallback;
    return QSettings(scratch, QSettings::IniFormat).value(key, fallback);
}
