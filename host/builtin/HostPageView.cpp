#include "HostPageView.h"

#include "render/PageRenderer.h"

#include <QPainter>

HostPageView::HostPageView(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(200, 200);
}

void HostPageView::setDocument(const HostDocument::Ptr &document)
{
    doc = document;
    update();
}

void HostPageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xd0, 0xd0, 0xd0));
    if (!doc)
        return;
    const HostPage &page = *doc->activePage;
    const QRectF area = QRectF(rect()).adjusted(16, 16, -16, -16);
    const double scale = qMin(area.width() / page.width, area.height() / page.height);
    const QSizeF size(page.width * scale, page.height * scale);
    const QRectF target(area.center() - QPointF(size.width() / 2, size.height() / 2), size);
    painter.fillRect(target, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(target);
    PageRenderer::render(painter, *doc, target, false);
}
