#include "SimulatedCutter.h"

#include <QTimer>

namespace {

using Event = CutterScript::Event;

// How each piece starts; a piece that ends at its first ';' has an empty end mark.
struct PieceShape
{
    QByteArray start;
    QByteArray end; // the piece ends after this text; empty: after the first ';'
    Event event;
};

// The body is the only piece with ';' inside; it ends with the cut section's "!PG;" and the
// job's closing ';'. A lone "!PG;" can only come between pieces.
const PieceShape Shapes[] = {
    {"CMD:14;", "", Event::PaperCheck}, {"CMD:20,", "", Event::Header},
    {"CMD:22,", "", Event::Trailer},    {"MD", "", Event::MarkLine},
    {"!PG;", "", Event::SheetAdvance},  {"IN;", "!PG;;", Event::Body},
    {"SP", "!PG;;", Event::Body},
};

} // namespace

SimulatedCutter::SimulatedCutter(const CutterScript &script, QObject *parent)
    : QObject(parent), script(script)
{
}

void SimulatedCutter::receive(const QByteArray &bytes)
{
    const qint64 limit = script.closeAfterBytes();
    if (closedAfterLimit)
        return;
    QByteArray taken = bytes;
    if (limit >= 0 && all.size() + taken.size() >= limit) {
        taken.truncate(int(limit - all.size()));
        closedAfterLimit = true;
    }
    all += taken;
    pending += taken;
    while (!pending.isEmpty() && takePiece()) {
    }
    if (closedAfterLimit)
        emit closeRequested();
}

void SimulatedCutter::restartStream()
{
    pending.clear();
}

// Takes the complete piece at the front of `pending`; false when more bytes are needed.
bool SimulatedCutter::takePiece()
{
    for (const PieceShape &shape : Shapes) {
        if (shape.start.startsWith(pending) && pending.size() < shape.start.size())
            return false; // could still become this piece
        if (!pending.startsWith(shape.start))
            continue;
        int end = -1;
        if (shape.event == Event::PaperCheck || shape.event == Event::SheetAdvance) {
            end = shape.start.size();
        } else if (shape.end.isEmpty()) {
            const int semicolon = pending.indexOf(';', shape.start.size() - 1);
            end = semicolon < 0 ? -1 : semicolon + 1;
        } else {
            const int mark = pending.indexOf(shape.end, shape.start.size());
            end = mark < 0 ? -1 : mark + shape.end.size();
        }
        if (end < 0)
            return false;
        pending.remove(0, end);
        answer(shape.event);
        return true;
    }
    // Not a piece of ours: skip it up to its ';' so the pieces after it are still seen.
    const int semicolon = pending.indexOf(';');
    if (semicolon < 0)
        return false;
    const QByteArray unknown = pending.left(semicolon + 1);
    pending.remove(0, semicolon + 1);
    record(QStringLiteral("unknown \"%1\"").arg(QString::fromLatin1(unknown.left(40))));
    return true;
}

void SimulatedCutter::answer(Event event)
{
    record(CutterScript::eventName(event));
    const int sheet = currentSheet;
    if (event == Event::Trailer)
        ++currentSheet;
    // Once the byte limit is reached the cutter is gone: nothing ending there is answered.
    const qint64 limit = script.closeAfterBytes();
    if (limit >= 0 && all.size() - pending.size() >= limit)
        return;
    const CutterScript::Response response = script.responseTo(event, sheet);
    for (const QByteArray &early : response.before)
        emit reply(early);
    if (!response.first.isEmpty())
        emit reply(response.first);
    if (response.second.isEmpty()) {
        if (response.close)
            emit closeRequested();
        return;
    }
    const QByteArray second = response.second;
    const bool close = response.close;
    QTimer::singleShot(script.splitDelayMs(), this, [this, second, close] {
        emit reply(second);
        if (close)
            emit closeRequested();
    });
}

void SimulatedCutter::record(const QString &piece)
{
    const QString line = QStringLiteral("sheet %1: %2").arg(currentSheet).arg(piece);
    lines << line;
    emit pieceReceived(line);
}
