#include "HostWindow.h"

#include "render/PageRenderer.h"

#include <QFileInfo>
#include <QPainter>

HostWindow::HostWindow(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Drawing"));
    resize(700, 700);
}

void HostWindow::showDocument(const HostDocument::Ptr &document)
{
    doc = document;
    const QString name = doc && !doc->filePath.isEmpty() ? QFileInfo(doc->filePath).fileName()
                                                         : QStringLiteral("Untitled");
    setWindowTitle(doc ? QStringLiteral("Drawing - %1").arg(name) : QStringLiteral("Drawing"));
    update();
}

QStringList HostWindow::layerLines() const
{
    QStringList lines;
    if (!doc)
        return lines;
    const QList<HostLayer::Ptr> &layers = doc->activePage->layers;
    for (int i = layers.size() - 1; i >= 0; --i) {
        const HostLayer &layer = *layers.at(i);
        QStringList states;
        if (!layer.visible)
            states << QStringLiteral("hidden");
        if (!layer.editable)
            states << QStringLiteral("locked");
        if (!layer.printable)
            states << QStringLiteral("not printing");
        states << QStringLiteral("%1 shape(s)").arg(layer.shapes.size());
        const QString active = layers.at(i) == doc->activeLayer ? QStringLiteral("> ") : QString();
        lines << QStringLiteral("%1%2: %3")
                     .arg(active, layer.name, states.join(QStringLiteral(", ")));
    }
    return lines;
}

void HostWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xd0, 0xd0, 0xd0));
    if (!doc)
        return;
    const HostPage &page = *doc->activePage;
    const int listWidth = 190;
    painter.setPen(Qt::black);
    painter.drawText(QRectF(width() - listWidth, 16, listWidth - 8, height() - 32),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     layerLines().join(QLatin1Char('\n')));
    // The largest page rectangle of the page's proportions that fits with a margin.
    const QRectF area = QRectF(rect()).adjusted(16, 16, -16 - listWidth, -16);
    const double scale = qMin(area.width() / page.width, area.height() / page.height);
    const QSizeF size(page.width * scale, page.height * scale);
    const QRectF target(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
    painter.fillRect(target, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(target);
    PageRenderer::render(painter, *doc, target, false);
}
