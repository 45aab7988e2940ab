#include "HostWindow.h"

#include "PageRenderer.h"

#include <QFileInfo>
#include <QPainter>

HostWindow::HostWindow(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Drawing"));
    resize(520, 700);
}

void HostWindow::showDocument(const HostDocument::Ptr &document)
{
    doc = document;
    const QString name = doc && !doc->filePath.isEmpty() ? QFileInfo(doc->filePath).fileName()
                                                         : QStringLiteral("Untitled");
    setWindowTitle(doc ? QStringLiteral("Drawing - %1").arg(name) : QStringLiteral("Drawing"));
    update();
}

void HostWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xd0, 0xd0, 0xd0));
    if (!doc)
        return;
    const HostPage &page = *doc->activePage;
    // The largest page rectangle of the page's proportions that fits with a margin.
    const QRectF area = QRectF(rect()).adjusted(16, 16, -16, -16);
    const double scale = qMin(area.width() / page.width, area.height() / page.height);
    const QSizeF size(page.width * scale, page.height * scale);
    const QRectF target(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
    painter.fillRect(target, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(target);
    PageRenderer::render(painter, *doc, target, false);
}
