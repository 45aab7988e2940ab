// The host's document window: title and unsaved mark, the question over unsaved changes, Save
// whole or not at all, a saved sheet reopening the same, and the reader's notes on show.
#include "HostTestSupport.h"
#include "builtin/HostWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace HostTest;

namespace {

const QString SampleSheet = QStringLiteral(VX_TEST_DATA_DIR "/../../resources/sample-sheet.svg");

// Presses `answer` on every message box that appears and keeps what they said; gives up after
// ten seconds so that no test can hang on a box.
class BoxAnswerer : public QObject
{
public:
    explicit BoxAnswerer(QMessageBox::StandardButton answer) : answer(answer)
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box) {
                texts << box->text();
                QAbstractButton *button = box->button(this->answer);
                (button ? button : box->buttons().first())->click();
            } else if (clock.elapsed() > 10000) {
                timer.stop();
            }
        });
        timer.start(10);
        clock.start();
    }
    QStringList texts;

private:
    QMessageBox::StandardButton answer;
    QTimer timer;
    QElapsedTimer clock;
};

// What a reopened sheet must keep: each layer's name and states, its shapes' boxes (mm).
QStringList outline(const HostDocument &doc)
{
    QStringList lines;
    for (const HostLayer::Ptr &layer : doc.activePage->layers) {
        lines << QStringLiteral("%1 printable %2 editable %3 visible %4")
                     .arg(layer->name)
                     .arg(layer->printable)
                     .arg(layer->editable)
                     .arg(layer->visible);
        for (const HostShape::Ptr &shape : HostDocument::drawnShapes(layer->shapes)) {
            const QRectF box = HostDocument::boundsOf({shape});
            lines << QStringLiteral("  %1 %2 %3 %4")
                         .arg(qRound(box.x() * MmPerInch * 10))
                         .arg(qRound(box.y() * MmPerInch * 10))
                         .arg(qRound(box.width() * MmPerInch * 10))
                         .arg(qRound(box.height() * MmPerInch * 10));
        }
    }
    return lines;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestHostWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void titleAndUnsavedMark_data();
    void titleAndUnsavedMark();
    void questionOverUnsavedChanges_data();
    void questionOverUnsavedChanges();
    void saveWholeOrNothing_data();
    void saveWholeOrNothing();
    void savedSheetReopensTheSame_data();
    void savedSheetReopensTheSame();
    void readerNotesShown_data();
    void readerNotesShown();

private:
    // Opens a copy of `source` in the host and shows the window.
    HostWindow *openCopy(const QString &source);
    QAction *action(const char *name) { return window->findChild<QAction *>(name); }

    std::unique_ptr<QTemporaryDir> dir;
    QString sheet;
    HostWindow *window = nullptr;
    AutomationHandle app;
};

void TestHostWindow::init()
{
    BuiltinHost::instance().reset();
    BuiltinHost::setWindowAllowed(true);
    dir = std::make_unique<QTemporaryDir>();
    app = createAutomationApplication(QStringLiteral("CorelDraw.Application.17"));
}

void TestHostWindow::cleanup()
{
    app.reset();
    BuiltinHost::instance().reset();
    BuiltinHost::useDefaultWindowPolicy();
    window = nullptr;
}

HostWindow *TestHostWindow::openCopy(const QString &source)
{
    sheet = dir->filePath(QStringLiteral("sheet.svg"));
    QFile::remove(sheet);
    if (!QFile::copy(source, sheet))
        return nullptr;
    if (!BuiltinHost::instance().openDocument(sheet))
        return nullptr;
    BuiltinHost::instance().setVisible(true);
    window = BuiltinHost::instance().window();
    if (window)
        window->setFileChooser([this](HostWindow::FileQuestion question) {
            return question == HostWindow::FileQuestion::Open ? sheet
                                                              : dir->filePath("saved-as.svg");
        });
    return window;
}

void TestHostWindow::titleAndUnsavedMark_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("title");
    QTest::newRow("opened: file name, no mark") << ""
                                                << "sheet.svg - Drawing";
    QTest::newRow("a command changed it: marked") << "layer"
                                                  << "sheet.svg* - Drawing";
    QTest::newRow("only asked the host: no mark") << "query"
                                                  << "sheet.svg - Drawing";
    QTest::newRow("changed then Ctrl+S: mark gone") << "layer save"
                                                    << "sheet.svg - Drawing";
    QTest::newRow("saved, then changed: marked") << "layer save layer"
                                                 << "sheet.svg* - Drawing";
    QTest::newRow("changed back by hand: no mark") << "layer remove"
                                                   << "sheet.svg - Drawing";
    QTest::newRow("Save As: the new name") << "layer saveas"
                                           << "saved-as.svg - Drawing";
    QTest::newRow("new document drawn on: Untitled, marked") << "new"
                                                             << "Untitled* - Drawing";
}

void TestHostWindow::titleAndUnsavedMark()
{
    QFETCH(QString, steps);
    QFETCH(QString, title);
    QVERIFY(openCopy(SampleSheet));
    for (const QString &step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (step == "layer")
            QVERIFY(!createLayer(*app, "Cutting Layer")->isNull());
        else if (step == "query")
            QVERIFY(layers(*app)->dynamicCall(Member::Count).toInt() > 0);
        else if (step == "remove")
            BuiltinHost::instance().activeDocument()->activePage->layers.removeLast();
        else if (step == "save") {
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window, 5000));
            QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
        } else if (step == "saveas")
            action("actionSaveAs")->trigger();
        else if (step == "new")
            QVERIFY(!app->querySubObject(Member::CreateDocument)->isNull() &&
                    !createLayer(*app, "Mark Layer")->isNull());
        BuiltinHost::instance().documentChanged();
    }
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), title, 5000);
    // The status bar agrees: "Unsaved changes" exactly while the title is marked, never "Saved".
    QCOMPARE(window->findChild<QLabel *>("unsavedLabel")->isVisibleTo(window), title.contains('*'));
    QVERIFY(!title.contains('*') ||
            !window->findChild<QLabel *>("stepLabel")->text().contains("Saved"));
    // The window shows the document as it is now: the layer the command made is listed.
    auto *list = window->findChild<QListWidget *>("layers");
    QCOMPARE(list->count(), window->layerLines().size());
    QCOMPARE(list->item(0)->text(), window->layerLines().first());
}

void TestHostWindow::questionOverUnsavedChanges_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("how"); // "close" or "open"
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("written");
    const int save = QMessageBox::Save, discard = QMessageBox::Discard;
    const int cancel = QMessageBox::Cancel;
    QTest::newRow("close, nothing unsaved: no question")
        << false << "close" << save << false << true << false;
    QTest::newRow("close, Cancel: stays open")
        << true << "close" << cancel << true << false << false;
    QTest::newRow("close, Discard: closes unwritten")
        << true << "close" << discard << true << true << false;
    QTest::newRow("close, Save: written then closed")
        << true << "close" << save << true << true << true;
    QTest::newRow("open, Cancel: keeps the changes")
        << true << "open" << cancel << true << false << false;
    QTest::newRow("open, Discard: reads the file again")
        << true << "open" << discard << true << true << false;
}

void TestHostWindow::questionOverUnsavedChanges()
{
    QFETCH(bool, changed);
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, goesOn);
    QFETCH(bool, written);
    QVERIFY(openCopy(SampleSheet));
    const HostDocument::Ptr before = BuiltinHost::instance().activeDocument();
    if (changed)
        QVERIFY(!createLayer(*app, "Cutting Layer")->isNull());
    BoxAnswerer answerer(static_cast<QMessageBox::StandardButton>(answer));
    if (how == "close")
        QCOMPARE(window->close(), goesOn);
    else
        QCOMPARE(window->open(), goesOn);
    QCOMPARE(answerer.texts, asked ? QStringList{"Save the changes to sheet.svg?"} : QStringList());
    QCOMPARE(contents(sheet).contains("Cutting Layer"), written);
    const HostDocument::Ptr after = BuiltinHost::instance().activeDocument();
    if (how == "close") {
        QCOMPARE(window->isVisible(), !goesOn);
        QCOMPARE(after == nullptr, goesOn); // closing the window closes its document
    } else {
        QCOMPARE(after != before, goesOn);
        QCOMPARE(after->findLayer("Cutting Layer") != nullptr, !goesOn);
        QCOMPARE(window->windowTitle(), goesOn ? "sheet.svg - Drawing" : "sheet.svg* - Drawing");
    }
}

void TestHostWindow::saveWholeOrNothing_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("a folder where nothing can be made: said, nothing there") << "folder";
    QTest::newRow("writing stops halfway: said, the old file as it was") << "midway";
}

void TestHostWindow::saveWholeOrNothing()
{
    QFETCH(QString, failure);
    QVERIFY(openCopy(SampleSheet));
    QVERIFY(!createLayer(*app, "Cutting Layer")->isNull());
    const QByteArray old = contents(sheet);
    BoxAnswerer answerer(QMessageBox::Ok);
    bool saved = true;
    if (failure == "folder") {
        // Not even root makes files in /proc.
        const QString path = "/proc/sheet.svg";
        window->setFileChooser([path](HostWindow::FileQuestion) { return path; });
        saved = window->saveAs();
        QVERIFY(!QFile::exists(path));
    } else {
        // A file size limit stops the write after 1 KiB, as a full disk would, even for root.
        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit small{1024, limit.rlim_max};
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        saved = window->save();
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previous);
        QCOMPARE(contents(sheet), old);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"sheet.svg"});
    }
    QVERIFY(!saved);
    QCOMPARE(answerer.texts.size(), 1);
    QVERIFY2(answerer.texts.first().startsWith("The drawing was not saved"),
             qPrintable(answerer.texts.first()));
    QCOMPARE(window->windowTitle(), QString("sheet.svg* - Drawing"));
    QCOMPARE(BuiltinHost::instance().activeDocument()->filePath, sheet);
}

void TestHostWindow::savedSheetReopensTheSame_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("the sample sheet as opened") << "";
    QTest::newRow("a locked, non-printing layer with a shape added") << "layer";
    QTest::newRow("a layer's shapes deleted") << "delete";
}

void TestHostWindow::savedSheetReopensTheSame()
{
    QFETCH(QString, change);
    QVERIFY(openCopy(SampleSheet));
    HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    if (change == "layer") {
        AutomationHandle layer = createLayer(*app, "Cutting Layer");
        addRectangle(doc->findLayer("Cutting Layer"), QRectF(1, 2, 3, 4));
        layer->dynamicCall(Member::SetEditable, {false});
        layer->dynamicCall(Member::SetPrintable, {false});
    } else if (change == "delete") {
        HostLayer::Ptr creasing = doc->findLayer("Creasing Layer");
        const QList<HostShape::Ptr> shapes = creasing->shapes;
        for (const HostShape::Ptr &shape : shapes)
            doc->removeShape(shape);
    }
    const QStringList expected = outline(*doc);
    QVERIFY(action("actionSaveAs")->isEnabled());
    action("actionSaveAs")->trigger();
    QCOMPARE(doc->filePath, dir->filePath("saved-as.svg"));
    sheet = doc->filePath; // Open answers the saved file
    QVERIFY(window->open());
    QVERIFY(BuiltinHost::instance().activeDocument() != doc);
    QCOMPARE(outline(*BuiltinHost::instance().activeDocument()), expected);
}

void TestHostWindow::readerNotesShown_data()
{
    QTest::addColumn<QByteArray>("svg");
    QTest::addColumn<int>("notes");
    const QByteArray head = "<svg xmlns='http://www.w3.org/2000/svg' "
                            "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' "
                            "width='100mm' height='100mm' viewBox='0 0 100 100'>"
                            "<g inkscape:groupmode='layer' inkscape:label='Art'>";
    QTest::newRow("plain shapes: no notes panel")
        << head + "<rect x='10' y='10' width='20' height='20'/></g></svg>" << 0;
    QTest::newRow("text and image: one note for both, one for the missing picture")
        << head + "<text id='t1' x='10' y='50'>Hi</text>"
                  "<image id='i1' x='10' y='60' width='10' height='10' href='a.png'/></g></svg>"
        << 2;
}

void TestHostWindow::readerNotesShown()
{
    QFETCH(QByteArray, svg);
    QFETCH(int, notes);
    const QString path = dir->filePath("notes.svg");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(svg) == svg.size());
    file.close();
    QVERIFY(openCopy(path));
    const HostDocument::Ptr doc = BuiltinHost::instance().activeDocument();
    QCOMPARE(doc->notes.size(), notes);
    auto *list = window->findChild<QListWidget *>("notes");
    QCOMPARE(list->isVisible(), notes > 0);
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    QCOMPARE(shown, doc->notes);
}

QTEST_MAIN(TestHostWindow)
#include "tst_hostwindow.moc"
