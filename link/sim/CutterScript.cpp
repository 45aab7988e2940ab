#include "CutterScript.h"

#include <QList>

namespace {

using Event = CutterScript::Event;

const QList<QPair<QByteArray, Event>> EventNames = {
    {"paper", Event::PaperCheck}, {"header", Event::Header},        {"marks", Event::MarkLine},
    {"body", Event::Body},        {"advance", Event::SheetAdvance}, {"trailer", Event::Trailer},
};

bool eventFromName(const QByteArray &name, Event &event)
{
    for (const auto &entry : EventNames) {
        if (entry.first == name) {
            event = entry.second;
            return true;
        }
    }
    return false;
}

// A healthy cutter with paper: every reply a program waits for, nothing for the others.
QByteArray usualReply(Event event)
{
    switch (event) {
    case Event::PaperCheck:
        return "S3:1;";
    case Event::Header:
        return "FEED_OK;";
    case Event::MarkLine:
        return "MD_OK;";
    case Event::Trailer:
        return "DONE;";
    case Event::Body:
    case Event::SheetAdvance:
        break;
    }
    return {};
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads one escape after '\' at text[i]; advances i past it.
bool readEscape(const QByteArray &text, int &i, QByteArray &word)
{
    if (i >= text.size())
        return false;
    const char c = text[i++];
    switch (c) {
    case 'n':
        word += '\n';
        return true;
    case 'r':
        word += '\r';
        return true;
    case 't':
        word += '\t';
        return true;
    case '"':
    case '\\':
        word += c;
        return true;
    case 'x': {
        const int high = i + 1 < text.size() ? hexDigit(text[i]) : -1;
        const int low = high >= 0 ? hexDigit(text[i + 1]) : -1;
        if (low < 0)
            return false;
        word += char(high * 16 + low);
        i += 2;
        return true;
    }
    default:
        return false;
    }
}

// Splits a line into words at blanks; a word in double quotes keeps its blanks and escapes.
// Text after a '#' outside quotes is a comment.
Result<QByteArrayList> splitWords(const QByteArray &line)
{
    QByteArrayList words;
    int i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            QByteArray word;
            ++i;
            while (i < line.size() && line[i] != '"') {
                if (line[i] == '\\') {
                    ++i;
                    if (!readEscape(line, i, word))
                        return Failure{QStringLiteral("bad escape in quoted text")};
                } else {
                    word += line[i++];
                }
            }
            if (i >= line.size())
                return Failure{QStringLiteral("quoted text without its closing '\"'")};
            ++i;
            words << word;
        } else {
            const int start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                ++i;
            words << line.mid(start, i - start);
        }
    }
    return words;
}

bool readCount(const QByteArray &word, qint64 minimum, qint64 &value)
{
    bool ok = false;
    value = word.toLongLong(&ok);
    return ok && value >= minimum && value <= (qint64(1) << 40);
}

} // namespace

Result<CutterScript> CutterScript::parse(const QByteArray &text)
{
    CutterScript script;
    const QByteArrayList lines = text.split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        const Result<QByteArrayList> words = splitWords(lines[n]);
        const Result<> rule = !words             ? Result<>(Failure{words.error()})
                              : words->isEmpty() ? Result<>()
                                                 : script.parseLine(*words);
        if (!rule)
            return Failure{QStringLiteral("line %1: %2").arg(n + 1).arg(rule.error())};
    }
    return script;
}

Result<> CutterScript::parseLine(const QByteArrayList &words)
{
    const QByteArray &verb = words[0];
    qint64 number = 0;
    if (verb == "close-after" || verb == "split-delay") {
        if (words.size() != 2 || !readCount(words[1], verb == "close-after" ? 1 : 0, number)) {
            return Failure{
                QStringLiteral("%1 needs one whole number").arg(QString::fromLatin1(verb))};
        }
        if (verb == "close-after")
            closeAfter = number;
        else
            splitDelay = int(qMin<qint64>(number, 60000));
        return {};
    }
    int sheet = 0;
    int at = 0;
    if (verb == "sheet") {
        if (words.size() < 3 || !readCount(words[1], 1, number)) {
            return Failure{QStringLiteral("sheet needs a sheet number from 1 and a rule")};
        }
        sheet = int(qMin<qint64>(number, 1 << 30));
        at = 2;
    }
    const QByteArray &rule = words[at];
    Event event;
    if (words.size() < at + 2 || !eventFromName(words[at + 1], event)) {
        return Failure{
            QStringLiteral("expected an event (paper, header, marks, body, advance, trailer) "
                           "after \"%1\"")
                .arg(QString::fromLatin1(rule))};
    }
    const QPair<int, int> key(int(event), sheet);
    QByteArrayList rest = words.mid(at + 2);
    if (rule == "busy") {
        if (rest.size() != 2 || !readCount(rest[0], 1, number) || number > 1000) {
            return Failure{QStringLiteral("busy needs a count from 1 to 1000 and a reply")};
        }
        busy.insert(key, {int(number), rest[1]});
        return {};
    }
    Action action;
    action.close = !rest.isEmpty() && rest.last() == "close";
    if (action.close)
        rest.removeLast();
    const int texts = rule == "reply" ? 1 : rule == "split" ? 2 : rule == "silent" ? 0 : -1;
    if (texts < 0) {
        return Failure{QStringLiteral("unknown rule \"%1\"").arg(QString::fromLatin1(rule))};
    }
    if (rest.size() != texts || (texts > 0 && rest.first().isEmpty()) ||
        (texts == 2 && rest[1].isEmpty())) {
        return Failure{QStringLiteral("%1 needs %2 non-empty text(s)")
                           .arg(QString::fromLatin1(rule))
                           .arg(texts)};
    }
    action.first = rest.value(0);
    action.second = rest.value(1);
    actions.insert(key, action);
    return {};
}

CutterScript::Response CutterScript::responseTo(Event event, int sheet) const
{
    const QPair<int, int> own(int(event), sheet);
    const QPair<int, int> every(int(event), 0);
    Response response;
    const auto action = actions.contains(own) ? actions.find(own) : actions.find(every);
    if (action != actions.end()) {
        response.first = action->first;
        response.second = action->second;
        response.close = action->close;
    } else {
        response.first = usualReply(event);
    }
    const auto before = busy.contains(own) ? busy.find(own) : busy.find(every);
    if (before != busy.end()) {
        for (int i = 0; i < before->count; ++i)
            response.before << before->text;
    }
    return response;
}

QString CutterScript::eventName(Event event)
{
    switch (event) {
    case Event::PaperCheck:
        return QStringLiteral("paper check");
    case Event::Header:
        return QStringLiteral("header");
    case Event::MarkLine:
        return QStringLiteral("mark line");
    case Event::Body:
        return QStringLiteral("body");
    case Event::SheetAdvance:
        return QStringLiteral("sheet advance");
    case Event::Trailer:
        return QStringLiteral("trailer");
    }
    return {};
}
