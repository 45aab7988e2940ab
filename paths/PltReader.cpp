#include "PltReader.h"

#include "IntField.h"

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

// The reader's whole state; one instance per parse.
class Machine
{
public:
    explicit Machine(PenChange penChange = PenChange::ContinuesPath) : penChange(penChange)
    {
        scratch.reserve(1024);
    }

    void feed(unsigned c);
    // Feeds a whole text; runs of digits inside coordinates are taken in one step.
    template <typename Code, typename ToLatin1>
    void feedAll(const Code *p, const Code *end, ToLatin1 toLatin1);
    CutPathList finish()
    {
        emitPath();
        return std::move(out);
    }

private:
    void completePair(bool lastPair);
    void beginPath();
    void emitPath();
    void lineTypeField(bool end);
    void xChar(unsigned c);
    void yChar(unsigned c);
    void penChar(unsigned c);
    void ltChar(unsigned c);

    const PenChange penChange;
    State state = State::Idle;
    bool penDown = false;
    int curX = 0, curY = 0;
    // Integers, so comparing them exactly is what the fuzzy point comparison would decide.
    int lastEndX = 0, lastEndY = 0;
    int pendingX = 0;
    IntField xDigits, yDigits, penDigits;
    QByteArray ltText;
    int ltCounter = 0;
    int pen = 0;
    int lineType = 0;
    double patternLength = 0.0;
    int lineTypeMode = 0;
    bool started = false;
    CutPath building;        // attributes of the path being built
    QVector<QLineF> scratch; // its segments, grown here and copied out at its exact size
    CutPathList out;
};

void Machine::feed(unsigned c)
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

void Machine::xChar(unsigned c)
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

void Machine::yChar(unsigned c)
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

void Machine::penChar(unsigned c)
{
    if (isDigit(c)) {
        penDigits.add(char(c));
    } else if (c == ';') {
        pen = penDigits.toInt();
        penDigits.clear();
        state = State::Idle;
    }
}

void Machine::ltChar(unsigned c)
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

void Machine::lineTypeField(bool end)
{
    const QString text = QString::fromLatin1(ltText);
    if (ltCounter == 0) {
        if (end && text.isEmpty()) {
            lineType = 0;
            patternLength = 0.0;
            lineTypeMode = 0;
        } else {
            lineType = text.toInt(nullptr, 10);
        }
    } else if (ltCounter == 1) {
        patternLength = text.toDouble();
    } else if (end) {
        lineTypeMode = text.toInt(nullptr, 10);
    }
    if (!end && ltCounter < 2) {
        ltText.clear();
        ++ltCounter;
    }
}

void Machine::completePair(bool lastPair)
{
    const int x = pendingX;
    const int y = yDigits.toInt();
    yDigits.clear();
    if (penDown) {
        const bool continues = curX == lastEndX && curY == lastEndY;
        const bool closed = lastPair && !scratch.isEmpty() &&
                            lastEndX == scratch.constFirst().x1() &&
                            lastEndY == scratch.constFirst().y1();
        const bool newPen = penChange == PenChange::StartsPath && pen != building.pen;
        if (!started || !continues || closed || newPen)
            beginPath();
        scratch.append(QLineF(curX, curY, x, y));
        lastEndX = x;
        lastEndY = y;
    }
    curX = x;
    curY = y;
}

void Machine::beginPath()
{
    emitPath();
    started = true;
    building.pen = pen;
    building.lineType = lineType;
    building.patternLength = patternLength;
    building.lineTypeMode = lineTypeMode;
}

void Machine::emitPath()
{
    if (scratch.isEmpty())
        return;
    building.segments = QVector<QLineF>(scratch.cbegin(), scratch.cend());
    out.append(building);
    building.segments = QVector<QLineF>();
    scratch.resize(0);
}

template <typename Code, typename ToLatin1>
void Machine::feedAll(const Code *p, const Code *end, ToLatin1 toLatin1)
{
    while (p != end) {
        if ((state == State::ReadX || state == State::ReadY) && isDigit(unsigned(*p))) {
            p = (state == State::ReadX ? xDigits : yDigits).takeDigits(p, end);
            continue;
        }
        feed(toLatin1(*p));
        ++p;
    }
}

} // namespace

CutPathList PltReader::read(const QByteArray &latin1Text, PenChange penChange)
{
    Machine m(penChange);
    const auto *p = reinterpret_cast<const unsigned char *>(latin1Text.constData());
    m.feedAll(p, p + latin1Text.size(), [](unsigned char c) { return unsigned(c); });
    return m.finish();
}

CutPathList PltReader::read(const QString &text)
{
    Machine m;
    const ushort *p = text.utf16();
    m.feedAll(p, p + text.size(), [](ushort c) { return c > 0xff ? 0u : unsigned(c); });
    return m.finish();
}
