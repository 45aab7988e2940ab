#pragma once
// The page of the host window: the active page drawn white on a grey desk, as large as the view
// allows at the page's own proportions, with every visible layer as the document holds it.

#include "model/HostDocument.h"

#include <QWidget>

class HostPageView : public QWidget
{
    Q_OBJECT
public:
    explicit HostPageView(QWidget *parent = nullptr);

    // nullptr: only the desk.
    void setDocument(const HostDocument::Ptr &document);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    HostDocument::Ptr doc;
};
