// InProcessHost realised by the built-in host.
#include "../InProcessHost.h"

#include "BuiltinHost.h"
#include "CommandChoice.h"
#include "HostSettings.h"
#include "HostWindow.h"
#include "common/Units.h"
#include "model/MarkZones.h"
#include "svg/SvgDocumentWriter.h"

namespace {

InProcessHost::CommandChoices &held()
{
    static InProcessHost::CommandChoices choices;
    return choices;
}

} // namespace

namespace InProcessHost {

void keepWindowHidden()
{
    BuiltinHost::setWindowAllowed(false);
}

Result<QStringList> openSheet(const QString &svgPath)
{
    const Result<HostDocument::Ptr> opened = BuiltinHost::instance().openDocument(svgPath);
    if (!opened)
        return Failure{opened.error()};
    return (*opened)->notes;
}

QStringList sheetNotes()
{
    const HostDocument::Ptr document = BuiltinHost::instance().activeDocument();
    return document ? document->notes : QStringList();
}

Result<> saveSheet(const QString &svgPath)
{
    BuiltinHost &host = BuiltinHost::instance();
    return host.saveDocument(host.activeDocument(), svgPath);
}

QByteArray sheetSvg()
{
    const HostDocument::Ptr document = BuiltinHost::instance().activeDocument();
    return document ? SvgDocumentWriter::toSvg(*document) : QByteArray();
}

QStringList artUnderMarks()
{
    const HostDocument::Ptr document = BuiltinHost::instance().activeDocument();
    return document ? MarkZones::artNotes(MarkZones::zones(*document)) : QStringList();
}

bool mayEnd()
{
    HostWindow *window = BuiltinHost::instance().window();
    return !window || !window->isVisible() || window->close();
}

ScopedChoices::ScopedChoices(CommandChoices choices) : previous(std::move(held()))
{
    held() = std::move(choices);
}

ScopedChoices::~ScopedChoices()
{
    held() = std::move(previous);
}

} // namespace InProcessHost

namespace CommandChoice {

double boundaryOffsetInches()
{
    const double inches =
        held().boundaryOffsetInches.value_or(mmToInches(HostSettings::cutMarginMm()));
    return inches > 0 ? inches : 0.0;
}

double bleedInches()
{
    const double inches = held().bleedInches.value_or(mmToInches(HostSettings::bleedMm()));
    return inches > 0 ? inches : 0.0;
}

QString printFile()
{
    return held().printFile;
}

} // namespace CommandChoice
