#include "JobCheck.h"

#include <algorithm>
#include <cstring>

namespace {

// Magnitudes beyond this are only ever reported, never used; it keeps long digit runs cheap.
constexpr qint64 MagnitudeCap = PlotterNumberMax + 2;
// A number quoted in a message is cut here: a file may hold one of a million digits.
constexpr int QuotedDigits = 24;

bool isDigit(char c)
{
    return unsigned(c) - '0' < 10u;
}

bool isUpper(char c)
{
    return unsigned(c) - 'A' < 26u;
}

QString quoted(char c)
{
    const auto u = uchar(c);
    if (u >= 0x20 && u < 0x7f && c != '"' && c != '\\')
        return QStringLiteral("\"%1\"").arg(QLatin1Char(c));
    return QStringLiteral("byte 0x%1").arg(u, 2, 16, QLatin1Char('0'));
}

struct Number
{
    qint64 value = 0; // capped at MagnitudeCap either way
    qint64 at = 0;    // where its text starts
    qint64 end = 0;
};

class Checker
{
public:
    Checker(const char *data, qint64 size, JobTextKind kind) : p(data), size(size), kind(kind) {}

    bool plotExport();
    bool savedJob();
    Result<> result() const;

private:
    bool fail(qint64 where, const QString &what)
    {
        faultAt = where;
        fault = what;
        return false;
    }
    bool atEnd() const { return at >= size; }
    char peek() const { return at < size ? p[at] : '\0'; }
    bool expect(char c, const QString &context);
    bool literal(const char *text, const QString &what);
    bool number(Number &n, const QString &what, bool fraction = false);
    bool inRange(const Number &n, const QString &what, qint64 lo, qint64 hi);
    bool integer(qint64 &out, const QString &what, qint64 lo, qint64 hi);
    bool separator();
    bool coordinates(bool required);
    bool lineTypeFields();
    bool instruction(bool inJob);
    bool jobHeader(qint64 &height, qint64 &width, bool &blank);
    bool jobEnd(qint64 bodyStart, qint64 height, qint64 width);
    QString numberText(const Number &n) const;

    const char *p;
    const qint64 size;
    const JobTextKind kind;
    qint64 at = 0;
    qint64 faultAt = -1;
    QString fault;
};

QString Checker::numberText(const Number &n) const
{
    const qint64 length = n.end - n.at;
    const QString text = QString::fromLatin1(p + n.at, int(std::min<qint64>(length, QuotedDigits)));
    return length > QuotedDigits ? text + QStringLiteral("... (%1 digits)").arg(length) : text;
}

bool Checker::expect(char c, const QString &context)
{
    if (peek() == c && !atEnd()) {
        ++at;
        return true;
    }
    if (atEnd())
        return fail(at, QStringLiteral("the text ends where \"%1\" %2 was expected (truncated "
                                       "file?)")
                            .arg(QLatin1Char(c))
                            .arg(context));
    return fail(at, QStringLiteral("%1 where \"%2\" %3 was expected")
                        .arg(quoted(p[at]), QString(QLatin1Char(c)), context));
}

bool Checker::literal(const char *text, const QString &what)
{
    const auto length = qint64(std::strlen(text));
    if (size - at >= length && std::memcmp(p + at, text, size_t(length)) == 0) {
        at += length;
        return true;
    }
    return fail(at, what);
}

bool Checker::number(Number &n, const QString &what, bool fraction)
{
    n.at = at;
    if (peek() == '-' && !atEnd())
        ++at;
    const qint64 digitsAt = at;
    qint64 magnitude = 0;
    for (; at < size && isDigit(p[at]); ++at)
        magnitude = std::min(MagnitudeCap, magnitude * 10 + (p[at] - '0'));
    if (at == digitsAt)
        return fail(at, atEnd()
                            ? QStringLiteral("the text ends where %1 was expected "
                                             "(truncated file?)")
                                  .arg(what)
                            : QStringLiteral("%1 where %2 was expected").arg(quoted(p[at]), what));
    if (fraction && peek() == '.' && !atEnd()) {
        ++at;
        const qint64 fractionAt = at;
        while (at < size && isDigit(p[at]))
            ++at;
        if (at == fractionAt)
            return fail(at, QStringLiteral("%1 has no digits after its \".\"").arg(what));
    }
    n.value = p[n.at] == '-' ? -magnitude : magnitude;
    n.end = at;
    return true;
}

bool Checker::inRange(const Number &n, const QString &what, qint64 lo, qint64 hi)
{
    if (n.value >= lo && n.value <= hi)
        return true;
    return fail(n.at, QStringLiteral("%1 %2 is out of range (%3 to %4)")
                          .arg(what, numberText(n))
                          .arg(lo)
                          .arg(hi));
}

bool Checker::integer(qint64 &out, const QString &what, qint64 lo, qint64 hi)
{
    Number n;
    if (!number(n, what) || !inRange(n, what, lo, hi))
        return false;
    out = n.value;
    return true;
}

// A saved job separates numbers with commas only; an export may use blanks as well.
bool Checker::separator()
{
    const char c = peek();
    if (atEnd() || !(c == ',' || (c == ' ' && kind == JobTextKind::PlotExport)))
        return false;
    ++at;
    return true;
}

bool Checker::coordinates(bool required)
{
    if (!required && peek() == ';')
        return true;
    const QString coordinate = QStringLiteral("the coordinate");
    do {
        for (int i = 0; i < 2; ++i) {
            if (i == 1 && !separator())
                return fail(at, atEnd() ? QStringLiteral("the text ends inside a coordinate "
                                                         "pair (truncated file?)")
                                        : QStringLiteral("%1 where \",\" and the pair's second "
                                                         "coordinate were expected")
                                              .arg(quoted(p[at])));
            Number n;
            if (!number(n, coordinate) ||
                !inRange(n, coordinate, PlotterNumberMin, PlotterNumberMax))
                return false;
        }
    } while (separator());
    return expect(';', QStringLiteral("after the coordinates"));
}

// Line type, pattern length and mode: "LT;", "LT2,4,1;"; the length may carry a fraction.
bool Checker::lineTypeFields()
{
    const QString field = QStringLiteral("a line-type field");
    for (bool more = peek() != ';'; more; more = separator()) {
        Number n;
        if (!number(n, field, true) || !inRange(n, field, PlotterNumberMin, PlotterNumberMax))
            return false;
    }
    return expect(';', QStringLiteral("after the line type"));
}

bool Checker::instruction(bool inJob)
{
    const qint64 start = at;
    const QString kindName = inJob ? QStringLiteral("cutter job") : QStringLiteral("plot file");
    for (qint64 i = at; i < at + 2; ++i) {
        if (i >= size)
            return fail(i, QStringLiteral("the text ends inside an instruction (truncated file?)"));
        if (!isUpper(p[i]))
            return fail(i, QStringLiteral("%1 is not part of a %2").arg(quoted(p[i]), kindName));
    }
    const QByteArray name(p + at, 2);
    at += 2;
    if (name == "IN")
        return expect(';', QStringLiteral("after \"IN\""));
    if (name == "PU" || name == "PD" || name == "PA") {
        // The job writer's PA only sets absolute plotting; an export may move with it.
        if (inJob && name == "PA")
            return expect(';', QStringLiteral("after \"PA\""));
        return coordinates(inJob && name == "PD");
    }
    if (name == "SP") {
        qint64 pen = 0;
        if (inJob || peek() != ';') {
            const qint64 lo = inJob ? JobPenMin : 0;
            const qint64 hi = inJob ? JobPenMax : PlotterNumberMax;
            if (!integer(pen, QStringLiteral("pen"), lo, hi))
                return false;
        }
        return expect(';', QStringLiteral("after the pen number"));
    }
    if (name == "LT" && !inJob)
        return lineTypeFields();
    return fail(start, QStringLiteral("\"%1\" is not an instruction a %2 holds (%3)")
                           .arg(QString::fromLatin1(name), kindName,
                                inJob ? QStringLiteral("IN, PA, SP, PU, PD, !PG")
                                      : QStringLiteral("IN, PA, SP, LT, PU, PD")));
}

bool Checker::plotExport()
{
    while (true) {
        while (at < size &&
               (p[at] == ';' || p[at] == ' ' || p[at] == '\n' || p[at] == '\r' || p[at] == '\t'))
            ++at;
        if (atEnd())
            return true;
        if (!instruction(false))
            return false;
    }
}

bool Checker::jobHeader(qint64 &height, qint64 &width, bool &blank)
{
    if (!literal("CMD:20,", QStringLiteral("it does not start with a header "
                                           "\"CMD:20,H,W,A,B,F;\"")))
        return false;
    const QString comma = QStringLiteral("between the header's fields");
    Number a, b;
    qint64 flag = 0;
    if (!integer(height, QStringLiteral("the page height H"), 0, PlotterNumberMax) ||
        !expect(',', comma) ||
        !integer(width, QStringLiteral("the page width W"), 0, PlotterNumberMax) ||
        !expect(',', comma) || !number(a, QStringLiteral("the mark field A"), true) ||
        !inRange(a, QStringLiteral("the mark field A"), PlotterNumberMin, PlotterNumberMax) ||
        !expect(',', comma) || !number(b, QStringLiteral("the mark field B"), true) ||
        !inRange(b, QStringLiteral("the mark field B"), PlotterNumberMin, PlotterNumberMax) ||
        !expect(',', comma) || !integer(flag, QStringLiteral("the blank-cut flag F"), 0, 1) ||
        !expect(';', QStringLiteral("after the header")))
        return false;
    blank = flag == 1;
    if (blank)
        return true;
    qint64 dy = 0, dx = 0, extra = 0;
    return literal("MD0,0,", QStringLiteral("a mark job needs the mark line \"MD0,0,DY,DX,N;\" "
                                            "after its header")) &&
           integer(dy, QStringLiteral("the mark distance DY"), PlotterNumberMin,
                   PlotterNumberMax) &&
           expect(',', QStringLiteral("in the mark line")) &&
           integer(dx, QStringLiteral("the mark distance DX"), PlotterNumberMin,
                   PlotterNumberMax) &&
           expect(',', QStringLiteral("in the mark line")) &&
           integer(extra, QStringLiteral("the extra-mark code N"), 0, 2) &&
           expect(';', QStringLiteral("after the mark line"));
}

// At the trailer: the body must have ended with the sheet's feed, and the trailer repeat the
// header's page size, or the cutter would end another sheet than it began.
bool Checker::jobEnd(qint64 bodyStart, qint64 height, qint64 width)
{
    static const char BodyEnd[] = "!PG;;";
    const qint64 endLength = qint64(sizeof BodyEnd) - 1;
    if (at - bodyStart < endLength || std::memcmp(p + at - endLength, BodyEnd, endLength) != 0)
        return fail(at, QStringLiteral("the body must end with \"!PG;;\" right before the "
                                       "trailer"));
    const qint64 trailerAt = at;
    qint64 h = 0, w = 0;
    if (!literal("CMD:22,", QStringLiteral("\"C\" where the trailer \"CMD:22,%1,%2;\" or an "
                                           "instruction was expected")
                                .arg(height)
                                .arg(width)) ||
        !integer(h, QStringLiteral("the trailer's page height"), 0, PlotterNumberMax) ||
        !expect(',', QStringLiteral("in the trailer")) ||
        !integer(w, QStringLiteral("the trailer's page width"), 0, PlotterNumberMax) ||
        !expect(';', QStringLiteral("after the trailer")))
        return false;
    if (h != height || w != width)
        return fail(trailerAt, QStringLiteral("the trailer must repeat the header's page size: "
                                              "\"CMD:22,%1,%2;\"")
                                   .arg(height)
                                   .arg(width));
    // An editor may end the file with a line break; nothing else may follow.
    while (at < size && (p[at] == '\n' || p[at] == '\r'))
        ++at;
    if (!atEnd())
        return fail(at, QStringLiteral("%1 after the trailer: only one job may be in the file")
                            .arg(quoted(p[at])));
    return true;
}

bool Checker::savedJob()
{
    qint64 height = 0, width = 0;
    bool blank = false;
    if (!jobHeader(height, width, blank))
        return false;
    const qint64 bodyStart = at;
    if (!literal(blank ? "SP2;" : "IN;", blank ? QStringLiteral("a blank cut's body must start "
                                                                "with \"SP2;\"")
                                               : QStringLiteral("a mark job's body must start "
                                                                "with \"IN;\"")))
        return false;
    while (true) {
        if (atEnd())
            return fail(at, QStringLiteral("the text ends before the trailer \"CMD:22,%1,%2;\" "
                                           "(truncated file?)")
                                .arg(height)
                                .arg(width));
        const char c = p[at];
        if (c == ';') {
            ++at;
        } else if (c == '!') {
            if (!literal("!PG;", QStringLiteral("\"!\" not followed by \"PG;\"")))
                return false;
        } else if (c == 'C') {
            return jobEnd(bodyStart, height, width);
        } else if (!instruction(true)) {
            return false;
        }
    }
}

Result<> Checker::result() const
{
    if (faultAt < 0)
        return {};
    // Counted only for the message: a valid file costs no line bookkeeping.
    const qint64 where = std::min(faultAt, size);
    const qint64 line = std::count(p, p + where, '\n') + 1;
    const char *lineStart = p + where;
    while (lineStart != p && lineStart[-1] != '\n')
        --lineStart;
    const qint64 column = p + where - lineStart + 1;
    return Failure{QStringLiteral("at offset %1 (line %2, column %3): %4")
                       .arg(where)
                       .arg(line)
                       .arg(column)
                       .arg(fault)};
}

} // namespace

Result<> checkJobText(const char *data, qint64 size, JobTextKind kind)
{
    Checker checker(data, size, kind);
    if (kind == JobTextKind::PlotExport)
        checker.plotExport();
    else
        checker.savedJob();
    return checker.result();
}
