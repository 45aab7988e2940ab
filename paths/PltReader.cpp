#include "PltReader.h"

#include "IntField.h"

#include <algorithm>

namespace {

enum class State
{
    Idle,
    AfterP,
    AfterS,
    AfterL,
    ReadX,
    ReadY,
    ReadPen,
    ReadLineType
};

inline bool isDigit(unsigned c)
{
    return c - '0' < 10u;
}

// The reader's whole state; one instance per parse. What it finds goes to a Sink: begin(...)
// opens a path (false stops the reading), segment(...) adds to it, end() closes it.
template <typename Sink> class Machine
{
public:
    explicit Machine(Sink &sink, PenChange penChange = PenChange::ContinuesPath)
        : sink(sink), penChange(penChange)
    {
    }
    // Picks the reading up inside a path's first pair list, as scan() left it.
    void resume(const PathStart &start);

    void feed(unsigned c);
    // Feeds a whole text; runs of digits inside coordinates are taken in one step.
    template <typename Code, typename ToLatin1>
    void feedAll(const Code *p, const Code *end, ToLatin1 toLatin1);
    void finish() { emitPath(); }

private:
    void completePair(bool lastPair);
    void beginPath(int x, int y, bool lastPair);
    void emitPath();
    void lineTypeField(bool end);
    void xChar(unsigned c);
    void yChar(unsigned c);
    void penChar(unsigned c);
    void ltChar(unsigned c);

    Sink &sink;
    const PenChange penChange;
    State state = State::Idle;
    bool penDown = false;
    bool halted = false;
    qint64 at = 0; // offset of the character being fed, from the start of feedAll's text
    int curX = 0, curY = 0;
    // Integers, so comparing them exactly is what the fuzzy point comparison would decide.
    int lastEndX = 0, lastEndY = 0;
    int firstX = 0, firstY = 0; // start of the path being built
    int segments = 0;           // segments of the path being built so far
    int pendingX = 0;
    IntField xDigits, yDigits, penDigits;
    QByteArray ltText;
    int ltCounter = 0;
    PathAttributes current; // pen and line type in force
    int buildingPen = 0;    // pen of the path being built
    bool started = false;
};

// Builds the CutPath list of read().
class ListSink
{
public:
    static constexpr bool wantsStarts = false;
    ListSink() { scratch.reserve(1024); }
    bool begin(const PathAttributes &a, const PathStart &)
    {
        building.pen = a.pen;
        building.lineType = a.lineType;
        building.patternLength = a.patternLength;
        building.lineTypeMode = a.lineTypeMode;
        return true;
    }
    void segment(int x1, int y1, int x2, int y2) { scratch.append(QLineF(x1, y1, x2, y2)); }
    void end()
    {
        // Copied out at its exact size; the scratch keeps its room for the next path.
        building.segments = QVector<QLineF>(scratch.cbegin(), scratch.cend());
        out.append(building);
        building.segments = QVector<QLineF>();
        scratch.resize(0);
    }
    CutPathList out;

private:
    CutPath building;        // attributes of the path being built
    QVector<QLineF> scratch; // its segments
};

// Keeps each path's start and box only.
class IndexSink
{
public:
    static constexpr bool wantsStarts = true;
    bool begin(const PathAttributes &, const PathStart &start)
    {
        index.starts.push_back(start);
        box = PathBox{start.fromX, start.fromY, start.fromX, start.fromY};
        return true;
    }
    void segment(int, int, int x2, int y2)
    {
        box.minX = std::min(box.minX, x2);
        box.minY = std::min(box.minY, y2);
        box.maxX = std::max(box.maxX, x2);
        box.maxY = std::max(box.maxY, y2);
    }
    void end() { index.boxes.push_back(box); }
    PltIndex index;

private:
    PathBox box{0, 0, 0, 0};
};

// Collects one path's points and stops where the next path begins.
class OnePathSink
{
public:
    static constexpr bool wantsStarts = false;
    explicit OnePathSink(PointPath &path) : path(path) { path.points.clear(); }
    bool begin(const PathAttributes &a, const PathStart &)
    {
        if (begun)
            return false;
        begun = true;
        path.attributes = a;
        return true;
    }
    void segment(int x1, int y1, int x2, int y2)
    {
        if (path.points.empty())
            path.points.emplace_back(x1, y1);
        path.points.emplace_back(x2, y2);
    }
    void end() {}

private:
    PointPath &path;
    bool begun = false;
};

template <typename Sink> void Machine<Sink>::feed(unsigned c)
{
    switch (state) {
    case State::ReadY:
        yChar(c);
        return;
    case State::ReadX:
        xChar(c);
        return;
    case State::Idle:
        if (c == 'P')
            state = State::AfterP;
        else if (c == 'S')
            state = State::AfterS;
        else if (c == 'L')
            state = State::AfterL;
        return;
    case State::AfterP:
        if (c == 'U')
            penDown = false;
        else if (c == 'D')
            penDown = true;
        state = (c == 'U' || c == 'D' || c == 'A') ? State::ReadX : State::Idle;
        return;
    case State::AfterS:
        state = c == 'P' ? State::ReadPen : State::Idle;
        return;
    case State::AfterL:
        state = c == 'T' ? State::ReadLineType : State::Idle;
        return;
    case State::ReadPen:
        penChar(c);
        return;
    case State::ReadLineType:
        ltChar(c);
        return;
    }
}

template <typename Sink> void Machine<Sink>::xChar(unsigned c)
{
    if (isDigit(c) || c == '-') {
        xDigits.add(char(c));
    } else if (c == ' ' || c == ',') {
        if (!xDigits.isEmpty()) {
            pendingX = xDigits.toInt();
            xDigits.clear();
            state = State::ReadY;
        }
    } else if (c == ';') {
        // A lone X value ("PD100;") must not stand in front of the next command's X.
        xDigits.clear();
        state = State::Idle;
    }
}

template <typename Sink> void Machine<Sink>::yChar(unsigned c)
{
    if (isDigit(c) || c == '-') {
        yDigits.add(char(c));
    } else if (c == ',') {
        completePair(false);
        state = State::ReadX;
    } else if (c == ';') {
        completePair(true);
        state = State::Idle;
    }
}

template <typename Sink> void Machine<Sink>::penChar(unsigned c)
{
    if (isDigit(c)) {
        penDigits.add(char(c));
    } else if (c == ';') {
        current.pen = penDigits.toInt();
        penDigits.clear();
        state = State::Idle;
    }
}

template <typename Sink> void Machine<Sink>::ltChar(unsigned c)
{
    if (isDigit(c) || c == '-' || c == '.')
        ltText.append(char(c));
    else if (c == ' ' || c == ',')
        lineTypeField(false);
    else if (c == ';') {
        lineTypeField(true);
        ltText.clear();
        ltCounter = 0;
        state = State::Idle;
    }
}

template <typename Sink> void Machine<Sink>::lineTypeField(bool end)
{
    const QString text = QString::fromLatin1(ltText);
    if (ltCounter == 0) {
        if (end && text.isEmpty()) {
            current.lineType = 0;
            current.patternLength = 0.0;
            current.lineTypeMode = 0;
        } else {
            current.lineType = text.toInt(nullptr, 10);
        }
    } else if (ltCounter == 1) {
        current.patternLength = text.toDouble();
    } else if (end) {
        current.lineTypeMode = text.toInt(nullptr, 10);
    }
    if (!end && ltCounter < 2) {
        ltText.clear();
        ++ltCounter;
    }
}

template <typename Sink> void Machine<Sink>::completePair(bool lastPair)
{
    const int x = pendingX;
    const int y = yDigits.toInt();
    yDigits.clear();
    if (penDown) {
        const bool continues = curX == lastEndX && curY == lastEndY;
        const bool closed = lastPair && segments > 0 && lastEndX == firstX && lastEndY == firstY;
        const bool newPen = penChange == PenChange::StartsPath && current.pen != buildingPen;
        if (!started || !continues || closed || newPen) {
            beginPath(x, y, lastPair);
            if (halted)
                return;
        }
        sink.segment(curX, curY, x, y);
        ++segments;
        lastEndX = x;
        lastEndY = y;
    }
    curX = x;
    curY = y;
}

template <typename Sink> void Machine<Sink>::beginPath(int x, int y, bool lastPair)
{
    emitPath();
    started = true;
    buildingPen = current.pen;
    firstX = curX;
    firstY = curY;
    PathStart start;
    if constexpr (Sink::wantsStarts)
        start = PathStart{at + 1, !lastPair, curX, curY, x, y, current};
    halted = !sink.begin(current, start);
}

template <typename Sink> void Machine<Sink>::emitPath()
{
    if (segments == 0)
        return;
    sink.end();
    segments = 0;
}

template <typename Sink> void Machine<Sink>::resume(const PathStart &start)
{
    state = start.inPairList ? State::ReadX : State::Idle;
    penDown = true;
    current = start.attributes;
    curX = start.fromX;
    curY = start.fromY;
    beginPath(start.toX, start.toY, !start.inPairList);
    sink.segment(curX, curY, start.toX, start.toY);
    segments = 1;
    curX = lastEndX = start.toX;
    curY = lastEndY = start.toY;
}

template <typename Sink>
template <typename Code, typename ToLatin1>
void Machine<Sink>::feedAll(const Code *p, const Code *end, ToLatin1 toLatin1)
{
    const Code *const begin = p;
    while (p != end && !halted) {
        if ((state == State::ReadX || state == State::ReadY) && isDigit(unsigned(*p))) {
            p = (state == State::ReadX ? xDigits : yDigits).takeDigits(p, end);
            continue;
        }
        at = p - begin;
        feed(toLatin1(*p));
        ++p;
    }
}

} // namespace

CutPathList PltReader::read(const QByteArray &latin1Text, PenChange penChange)
{
    ListSink sink;
    Machine<ListSink> m(sink, penChange);
    const auto *p = reinterpret_cast<const unsigned char *>(latin1Text.constData());
    m.feedAll(p, p + latin1Text.size(), [](unsigned char c) { return unsigned(c); });
    m.finish();
    return std::move(sink.out);
}

CutPathList PltReader::read(const QString &text)
{
    ListSink sink;
    Machine<ListSink> m(sink);
    const ushort *p = text.utf16();
    m.feedAll(p, p + text.size(), [](ushort c) { return c > 0xff ? 0u : unsigned(c); });
    m.finish();
    return std::move(sink.out);
}

PltIndex PltReader::scan(const char *text, qint64 size)
{
    IndexSink sink;
    Machine<IndexSink> m(sink);
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    m.feedAll(p, p + size, [](unsigned char c) { return unsigned(c); });
    m.finish();
    return std::move(sink.index);
}

void PltReader::readPath(const char *text, qint64 size, const PathStart &start, PointPath &path)
{
    OnePathSink sink(path);
    Machine<OnePathSink> m(sink);
    m.resume(start);
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    m.feedAll(p + start.resumeAt, p + size, [](unsigned char c) { return unsigned(c); });
}
