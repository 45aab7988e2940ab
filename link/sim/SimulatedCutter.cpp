#include "SimulatedCutter.h"

#include "link/ReplyText.h"

#include <QTimer>

#include <cstring>
#include <string_view>

namespace {

using Event = CutterScript::Event;

// How each piece starts.
struct PieceShape
{
    QByteArray start;
    Event event;
};

// Every piece ends at its first ';' but the body, the only piece with ';' inside: it ends with
// the cut section's "!PG;" and the job's closing ';' (BodyEnd). A lone "!PG;" can only come
// between pieces.
const PieceShape Shapes[] = {
    {"CMD:14;", Event::PaperCheck},
    {"CMD:20,", Event::Header},
    {"CMD:22,", Event::Trailer},
    {"MD", Event::MarkLine},
    {"!PG;", Event::SheetAdvance},
    {"IN;", Event::Body},
    {"SP", Event::Body},
};
const QByteArray BodyEnd = QByteArrayLiteral("!PG;;");
// A piece other than the body is a few dozen bytes; past this it is dropped as unknown.
constexpr int MaxPieceBytes = 4096;

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
    int size = bytes.size();
    if (limit >= 0 && total + size >= limit) {
        size = int(limit - total);
        closedAfterLimit = true;
    }
    total += size;
    if (keepHistory)
        all.append(bytes.constData(), size);
    const char *data = bytes.constData();
    while (size > 0) {
        const int taken = inBody ? takeBody(data, size) : takeUpToBody(data, size);
        data += taken;
        size -= taken;
    }
    if (closedAfterLimit)
        emit closeRequested();
}

void SimulatedCutter::restartStream()
{
    pending.clear();
    bodyTail.clear();
    consumed = total;
    inBody = false;
    skipping = false;
}

int SimulatedCutter::takeUpToBody(const char *data, int size)
{
    const void *semicolon = std::memchr(data, ';', size_t(size));
    const int run = semicolon ? int(static_cast<const char *>(semicolon) - data) + 1 : size;
    consumed += run;
    if (skipping || pending.size() + run > MaxPieceBytes) {
        pending.clear();
        skipping = !semicolon;
        if (!skipping)
            record(QStringLiteral("unknown (overlong)"));
        return run;
    }
    pending.append(data, run);
    while (!pending.isEmpty() && !inBody && takePiece()) {
    }
    return run;
}

int SimulatedCutter::takeBody(const char *data, int size)
{
    // An end mark split between two arrivals: the tail of the earlier one and the start of this.
    const QByteArray joint =
        bodyTail + QByteArray::fromRawData(data, qMin(size, BodyEnd.size() - 1));
    int end = -1;
    const int jointAt = joint.indexOf(BodyEnd);
    if (jointAt >= 0) {
        end = jointAt + BodyEnd.size() - bodyTail.size();
    } else {
        const std::string_view view(data, size_t(size));
        const size_t at = view.find(std::string_view(BodyEnd.constData(), size_t(BodyEnd.size())));
        if (at != std::string_view::npos)
            end = int(at) + BodyEnd.size();
    }
    if (end < 0) {
        consumed += size;
        const int keep = BodyEnd.size() - 1;
        bodyTail = size >= keep ? QByteArray(data + size - keep, keep)
                                : (bodyTail + QByteArray(data, size)).right(keep);
        return size;
    }
    consumed += end;
    bodyTail.clear();
    inBody = false;
    answer(Event::Body);
    return end;
}

// Takes the complete piece at the front of `pending`; false when more bytes are needed. A body
// only starts here: its bytes go to takeBody().
bool SimulatedCutter::takePiece()
{
    for (const PieceShape &shape : Shapes) {
        if (shape.start.startsWith(pending) && pending.size() < shape.start.size())
            return false; // could still become this piece
        if (!pending.startsWith(shape.start))
            continue;
        if (shape.event == Event::Body) {
            bodyTail = pending.mid(shape.start.size()).right(BodyEnd.size() - 1);
            pending.clear();
            inBody = true;
            return false;
        }
        // Every other piece ends at its first ';', which is where `pending` ends.
        if (!pending.endsWith(';'))
            return false;
        pending.clear();
        answer(shape.event);
        return true;
    }
    // Not a piece of ours: skip it up to its ';' so the pieces after it are still seen.
    if (!pending.endsWith(';'))
        return false;
    // Escaped: the log goes to a terminal, and these bytes are anybody's.
    record(QStringLiteral("unknown %1").arg(ReplyText::quoted(pending)));
    pending.clear();
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
    if (limit >= 0 && consumed >= limit)
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
    if (keepHistory)
        lines << line;
    emit pieceReceived(line);
}
