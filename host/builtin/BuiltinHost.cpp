#include "BuiltinHost.h"

#include "render/PrintedPictures.h"
#include "settings/Settings.h"
#include "svg/SvgDocumentReader.h"
#include "svg/SvgDocumentWriter.h"
#include "svg/SvgLinkRebase.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

int windowPolicy = -1; // -1 decide from the platform, 0 never, 1 allowed

QByteArray digestOf(const QByteArray &svg)
{
    return QCryptographicHash::hash(svg, QCryptographicHash::Sha256);
}

} // namespace

BuiltinHost::BuiltinHost() = default;

BuiltinHost &BuiltinHost::instance()
{
    static BuiltinHost host;
    return host;
}

bool BuiltinHost::isProgramIdAvailable(const QString &programId) const
{
    return !unavailable.contains(programId) && Setting::CdrVersion.choices().contains(programId);
}

void BuiltinHost::setProgramIdAvailable(const QString &programId, bool available)
{
    if (available)
        unavailable.remove(programId);
    else
        unavailable.insert(programId);
}

HostDocument::Ptr BuiltinHost::createDocument(double widthInches, double heightInches)
{
    auto doc = std::make_shared<HostDocument>(widthInches, heightInches);
    setActiveDocument(doc);
    return doc;
}

void BuiltinHost::setActiveDocument(const HostDocument::Ptr &document)
{
    if (document && !documents.contains(document)) {
        documents.append(document);
        markSaved(*document);
    }
    active = document;
    emit activeDocumentUpdated(active);
}

Result<HostDocument::Ptr> BuiltinHost::openDocument(const QString &svgPath)
{
    Result<HostDocument::Ptr> doc = SvgDocumentReader::read(svgPath);
    if (!doc)
        return doc;
    // Said once on opening: a picture left out of the print is also left out of the cut.
    (*doc)->notes << PrintedPictures::inlined(SvgDocumentWriter::toSvg(**doc), svgPath).notes;
    setActiveDocument(*doc);
    return doc;
}

Result<> BuiltinHost::saveDocument(const HostDocument::Ptr &document, const QString &svgPath)
{
    if (!document)
        return Failure{QStringLiteral("no document to save")};
    const QByteArray edited = SvgDocumentWriter::toSvg(*document);
    // Saved into another folder, the pictures' relative links are rewritten to reach the same
    // files, and the document is the saved one from then on, so that it draws them too.
    const QByteArray data =
        document->filePath.isEmpty()
            ? edited
            : SvgLinkRebase::rebased(edited, QFileInfo(document->filePath).absolutePath(),
                                     QFileInfo(svgPath).absolutePath());
    const QByteArray file = SvgDocumentWriter::fileContents(*document, data, svgPath);
    if (Result<> written = SvgDocumentWriter::writeFile(file, svgPath); !written)
        return written;
    if (data != edited) {
        if (Result<HostDocument::Ptr> saved = SvgDocumentReader::readData(file, svgPath))
            *document = **saved;
    }
    document->filePath = svgPath;
    savedDigest.insert(document.get(), digestOf(data));
    if (document == active)
        emit activeDocumentUpdated(active);
    return {};
}

void BuiltinHost::closeAllDocuments()
{
    documents.clear();
    savedDigest.clear();
    setActiveDocument(nullptr);
}

void BuiltinHost::closeDocument(const HostDocument::Ptr &document)
{
    documents.removeAll(document);
    savedDigest.remove(document.get());
    if (document == active)
        setActiveDocument(documents.isEmpty() ? nullptr : documents.last());
}

bool BuiltinHost::isModified(const HostDocument::Ptr &document) const
{
    if (!document)
        return false;
    return isModified(document, SvgDocumentWriter::toSvg(*document));
}

bool BuiltinHost::isModified(const HostDocument::Ptr &document, const QByteArray &svg) const
{
    if (!document)
        return false;
    const auto saved = savedDigest.constFind(document.get());
    return saved == savedDigest.constEnd() || *saved != digestOf(svg);
}

void BuiltinHost::documentChanged()
{
    emit documentEdited();
}

void BuiltinHost::markSaved(const HostDocument &document)
{
    savedDigest.insert(&document, digestOf(SvgDocumentWriter::toSvg(document)));
}

void BuiltinHost::refresh()
{
    ++refreshes;
    emit activeDocumentUpdated(active);
}

void BuiltinHost::setWindowAllowed(bool allowed)
{
    windowPolicy = allowed ? 1 : 0;
}

void BuiltinHost::useDefaultWindowPolicy()
{
    windowPolicy = -1;
}

bool BuiltinHost::windowAllowed()
{
    if (windowPolicy == 0 || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return false;
    if (windowPolicy == 1)
        return true;
    // The offscreen and minimal platforms have no screen a user could look at.
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void BuiltinHost::reset()
{
    closeAllDocuments();
    unavailable.clear();
    isVisible = false;
    optimizing = false;
    refreshes = 0;
    printAnswer = nullptr;
    appWrapper = nullptr;
    deleteWindow();
}
