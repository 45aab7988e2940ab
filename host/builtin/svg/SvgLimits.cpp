#include "SvgLimits.h"

#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>
#include <algorithm>
#include <vector>

namespace {

const QString XlinkNamespace = QStringLiteral("http://www.w3.org/1999/xlink");

// The document as a graph whose longest path is the deepest <use> indirection. Nodes are the
// elements (in document order, the root first) followed by one node per id. An element leads to
// its children and an id to the elements that carry it, at no cost; a <use> leads to the id it
// names at the cost of one level.
struct Edge
{
    int to;
    int weight;
};

class UseGraph
{
public:
    void addElement(int parent);
    void addId(int element, const QString &id);
    void addUse(int element, const QString &href);
    // The deepest indirection from the root, or -1 for a circle; stops early beyond limit.
    int deepestChain(int limit);
    int elements() const { return elementCount; }

private:
    void build();

    int elementCount = 0;
    std::vector<std::pair<int, int>> children; // parent element, child element
    std::vector<std::pair<int, int>> carriers; // id number, element carrying it
    std::vector<std::pair<int, QString>> uses; // <use> element, id it names
    QHash<QString, int> idNumbers;
    std::vector<int> offsets; // per node, its first edge in edges; one more at the end
    std::vector<Edge> edges;
};

void UseGraph::addElement(int parent)
{
    if (parent >= 0)
        children.emplace_back(parent, elementCount);
    ++elementCount;
}

void UseGraph::addId(int element, const QString &id)
{
    auto number = idNumbers.constFind(id);
    if (number == idNumbers.constEnd())
        number = idNumbers.insert(id, int(idNumbers.size()));
    carriers.emplace_back(number.value(), element);
}

void UseGraph::addUse(int element, const QString &href)
{
    const QString trimmed = href.trimmed();
    // Only a fragment in this document can be followed; QtSvg loads nothing else.
    if (trimmed.startsWith(QLatin1Char('#')) && trimmed.size() > 1)
        uses.emplace_back(element, trimmed.mid(1));
}

void UseGraph::build()
{
    const int nodes = elementCount + int(idNumbers.size());
    std::vector<std::pair<int, Edge>> all;
    all.reserve(children.size() + carriers.size() + uses.size());
    for (const auto &c : children)
        all.push_back({c.first, Edge{c.second, 0}});
    for (const auto &c : carriers)
        all.push_back({elementCount + c.first, Edge{c.second, 0}});
    for (const auto &u : uses) {
        const auto id = idNumbers.constFind(u.second);
        if (id != idNumbers.constEnd()) // an unresolved reference draws nothing
            all.push_back({u.first, Edge{elementCount + id.value(), 1}});
    }
    offsets.assign(size_t(nodes) + 1, 0);
    for (const auto &e : all)
        ++offsets[size_t(e.first) + 1];
    for (size_t i = 1; i < offsets.size(); ++i)
        offsets[i] += offsets[i - 1];
    edges.resize(all.size());
    std::vector<int> fill(offsets.begin(), offsets.end() - 1);
    for (const auto &e : all)
        edges[size_t(fill[size_t(e.first)]++)] = e.second;
}

int UseGraph::deepestChain(int limit)
{
    if (elementCount == 0)
        return 0;
    build();
    enum : char
    {
        Unseen,
        Open,
        Done
    };
    std::vector<char> state(offsets.size() - 1, Unseen);
    std::vector<int> depth(offsets.size() - 1, 0);
    // An explicit stack: hostile chains must not exhaust ours either.
    std::vector<std::pair<int, int>> stack{{0, offsets[0]}}; // node, its next edge
    state[0] = Open;
    while (!stack.empty()) {
        const int node = stack.back().first;
        if (stack.back().second < offsets[size_t(node) + 1]) {
            const int next = edges[size_t(stack.back().second++)].to;
            if (state[size_t(next)] == Open)
                return -1;
            if (state[size_t(next)] == Unseen) {
                state[size_t(next)] = Open;
                stack.emplace_back(next, offsets[size_t(next)]);
            }
            continue;
        }
        int deepest = 0;
        for (int e = offsets[size_t(node)]; e < offsets[size_t(node) + 1]; ++e)
            deepest =
                std::max(deepest, edges[size_t(e)].weight + depth[size_t(edges[size_t(e)].to)]);
        depth[size_t(node)] = deepest;
        state[size_t(node)] = Done;
        stack.pop_back();
        if (deepest > limit)
            return deepest;
    }
    return depth[0];
}

Result<> checkDocument(QXmlStreamReader &reader)
{
    UseGraph graph;
    std::vector<int> open; // the elements enclosing the reader's position
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement && !open.empty()) {
            open.pop_back();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (int(open.size()) >= SvgLimits::MaxNesting)
            return Failure{QStringLiteral("elements nested deeper than %1 levels at line %2")
                               .arg(SvgLimits::MaxNesting)
                               .arg(reader.lineNumber())};
        if (graph.elements() >= SvgLimits::MaxElements)
            return Failure{QStringLiteral("the drawing has more than %1 elements")
                               .arg(SvgLimits::MaxElements)};
        const int element = graph.elements();
        graph.addElement(open.empty() ? -1 : open.back());
        open.push_back(element);
        const QXmlStreamAttributes attributes = reader.attributes();
        const QStringRef id = attributes.value(QStringLiteral("id"));
        if (!id.isEmpty())
            graph.addId(element, id.toString());
        if (reader.name() != QLatin1String("use"))
            continue;
        // SVG 1.1 names the target with xlink:href, later drawings with a plain href; follow both.
        for (const QXmlStreamAttribute &a : attributes) {
            if (a.name() == QLatin1String("href") &&
                (a.namespaceUri().isEmpty() || a.namespaceUri() == XlinkNamespace))
                graph.addUse(element, a.value().toString());
        }
    }
    if (reader.hasError())
        return Failure{QStringLiteral("not well-formed SVG at line %1: %2")
                           .arg(reader.lineNumber())
                           .arg(reader.errorString())};
    const int deepest = graph.deepestChain(SvgLimits::MaxUseDepth);
    if (deepest < 0 || deepest > SvgLimits::MaxUseDepth)
        return Failure{
            QStringLiteral("<use> elements refer to each other more than %1 deep (or in a "
                           "circle)")
                .arg(SvgLimits::MaxUseDepth)};
    return {};
}

} // namespace

namespace SvgLimits {

Result<> check(const QByteArray &svg)
{
    if (svg.size() > MaxFileBytes)
        return Failure{
            QStringLiteral("the file is larger than %1 MB").arg(MaxFileBytes / (1024 * 1024))};
    QXmlStreamReader reader(svg);
    return checkDocument(reader);
}

Result<> check(const QString &text)
{
    QXmlStreamReader reader(text);
    return checkDocument(reader);
}

Result<> checkFileSize(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    // A device or pipe has no size to check and might never end.
    if (!info.isFile())
        return Failure{QStringLiteral("%1 is not a regular file").arg(path)};
    if (info.size() > MaxFileBytes)
        return Failure{
            QStringLiteral("the file is larger than %1 MB").arg(MaxFileBytes / (1024 * 1024))};
    return {};
}

} // namespace SvgLimits
