#pragma once
// Draws the host window's page picture on a worker thread, so that a big sheet (a hundred
// photo stickers, a 72 MB sheet) never stops the window painting: the view keeps showing its
// last picture, scaled, until the new one arrives.
//
// One picture is drawn at a time. A request made while one is drawn supersedes it: the drawing
// under way stops as soon as it can and its picture is dropped, and only the newest request
// waiting is drawn next. The SVG text is taken on the GUI thread beforehand, so the worker never
// reads a document the GUI thread or other work may change.

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <memory>

class PagePictureMaker : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray svg;    // the page's SVG text
        QString baseFile;  // the sheet's file, for linked pictures
        QSizeF pageInches; // the page's size
        QSize pixels;      // the picture's size
        bool operator==(const Request &other) const;
    };

    explicit PagePictureMaker(QObject *parent = nullptr);
    // The drawing under way finishes on its own; its picture goes nowhere.
    ~PagePictureMaker() override;

    // Asks for a picture; nothing new is drawn when the same one is asked for or already shown.
    void request(const Request &wanted);
    // Whether a picture asked for has not arrived yet.
    bool busy() const;

signals:
    // The picture asked for last. `failure` is empty when it was drawn; otherwise the picture is
    // null and the text says why.
    void finished(const QImage &picture, const QString &failure);

private:
    struct Shared;
    void startNext();
    void delivered(int generation, const QImage &picture, const QString &failure);

    std::shared_ptr<Shared> shared;
    Request waiting, drawing, lastDelivered;
    bool hasWaiting = false, running = false;
};
