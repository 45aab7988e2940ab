#pragma once
// The built-in host's own window: the page with its layers, as the drawing application shows the
// document its automation works on. Shown by SetVisible(true) only where there is a screen.

#include "model/HostDocument.h"

#include <QStringList>
#include <QWidget>

class HostWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HostWindow(QWidget *parent = nullptr);

    // Shows this document (nullptr: an empty window) and repaints.
    void showDocument(const HostDocument::Ptr &document);

    // The layer list drawn beside the page, top layer first: name, then what is unusual about it
    // ("hidden", "locked", "not printing") and the number of shapes.
    QStringList layerLines() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    HostDocument::Ptr doc;
};
