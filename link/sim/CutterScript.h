#pragma once
// What a simulated cutter answers, read from a small line-based script. An empty script is a
// cutter that answers every piece as a healthy machine with paper does.
//
// Glossary: a piece is one of the program's texts as the cutter recognises it in the byte stream
// (paper check, header, mark line, body, sheet advance, trailer); a reply is what the cutter
// sends back for one piece; a sheet is numbered from 1 and ends with its trailer.
//
// Script lines (blank lines and text after '#' are ignored):
//   [sheet N] reply  EVENT TEXT [close]          answer TEXT instead of the usual reply
//   [sheet N] split  EVENT FIRST SECOND [close]  answer in two pieces, SECOND a little later
//   [sheet N] silent EVENT [close]               answer nothing (the program keeps waiting)
//   [sheet N] busy   EVENT K TEXT                answer TEXT K times before the reply
//   close-after N                                drop the connection once N bytes arrived
//   split-delay MS                               pause before a split reply's second piece
// EVENT is paper, header, marks, body, advance or trailer. TEXT is written as is when it holds
// no blank, else in double quotes with \" \\ \n \r \t and \xHH escapes ("FEED_OK; "). "close"
// drops the connection after the reply, as a TCP cutter does after "MD_NG;". A rule with
// "sheet N" applies to that sheet only and wins over a rule without it.

#include "common/Result.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QString>

class CutterScript
{
public:
    enum class Event
    {
        PaperCheck,   // "CMD:14;"
        Header,       // "CMD:20,...;"
        MarkLine,     // "MD...;"
        Body,         // "IN;..." or "SP..." up to "!PG;;"
        SheetAdvance, // a lone "!PG;"
        Trailer       // "CMD:22,...;"
    };

    // The cutter's answer to one piece.
    struct Response
    {
        QByteArrayList before; // whole replies sent first ("BUSY;" to the first polls)
        QByteArray first;      // the reply, or its first piece; empty: no reply
        QByteArray second;     // the later piece of a split reply; empty: not split
        bool close = false;    // drop the connection once the reply is out
    };

    // Parses a script; a malformed line fails with a message naming the line.
    static Result<CutterScript> parse(const QByteArray &text);

    // What to answer to `event` on sheet `sheet` (1-based).
    Response responseTo(Event event, int sheet) const;
    // Bytes after which the cutter drops the connection; -1: never.
    qint64 closeAfterBytes() const { return closeAfter; }
    // Milliseconds between the two pieces of a split reply (>= 0).
    int splitDelayMs() const { return splitDelay; }

    static QString eventName(Event event);

private:
    struct Action
    {
        QByteArray first;
        QByteArray second;
        bool close = false;
    };
    struct Busy
    {
        int count = 0;
        QByteArray text;
    };

    Result<> parseLine(const QByteArrayList &words);

    // Keyed by event and sheet; sheet 0 means every sheet.
    QHash<QPair<int, int>, Action> actions;
    QHash<QPair<int, int>, Busy> busy;
    qint64 closeAfter = -1;
    int splitDelay = 30;
};
