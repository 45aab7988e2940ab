// The language the window speaks: the locale or --lang chooses, English replaces every Chinese
// text of the window and its messages, and every other locale keeps the texts as written.
#include "LanguageTest.h"

#include "app/PluginMWForm.h"
#include "host/builtin/BuiltinHost.h"
#include "host/builtin/HostWindow.h"
#include "translations/UiTranslation.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

namespace {

const char *const LocaleVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};

// Sets the three variables the messages locale comes from; puts the old values back.
class LocaleEnvironment
{
public:
    explicit LocaleEnvironment(const QStringList &values)
    {
        for (int i = 0; i < 3; ++i) {
            saved << qgetenv(LocaleVariables[i]);
            qputenv(LocaleVariables[i], values.value(i).toUtf8());
        }
    }
    ~LocaleEnvironment()
    {
        for (int i = 0; i < 3; ++i)
            qputenv(LocaleVariables[i], saved.at(i));
    }

private:
    QByteArrayList saved;
};

bool hasCjk(const QString &text)
{
    static const QRegularExpression cjk(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(cjk);
}

// Every text a user can see on the widgets under `root`, each with where it was found.
QStringList visibleTexts(QWidget *root)
{
    QStringList texts;
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *w : widgets) {
        const QString name = w->objectName() + QLatin1Char(' ');
        texts << name + w->windowTitle() << name + w->toolTip() << name + w->statusTip();
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            texts << name + button->text();
        if (auto *label = qobject_cast<QLabel *>(w))
            texts << name + label->text();
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            texts << name + edit->text() << name + edit->placeholderText();
        if (auto *spin = qobject_cast<QAbstractSpinBox *>(w))
            texts << name + spin->text() << name + spin->specialValueText();
        if (auto *combo = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < combo->count(); ++i)
                texts << name + combo->itemText(i);
        for (QAction *action : w->actions())
            texts << name + action->text() << name + action->toolTip();
    }
    return texts;
}

} // namespace

void LanguageTest::init()
{
    BuiltinHost::instance().reset();
    dir.reset(new QTemporaryDir);
    QVERIFY(dir->isValid());
}

void LanguageTest::cleanup()
{
    dir.reset();
    BuiltinHost::instance().reset();
}

void LanguageTest::choice_data()
{
    QTest::addColumn<QStringList>("locale"); // LC_ALL, LC_MESSAGES, LANG
    QTest::addColumn<QString>("option");     // --lang; null: not given
    QTest::addColumn<QString>("chosen");     // "en", "zh" or "error"
    QTest::newRow("en_US gives English") << QStringList{"", "", "en_US.UTF-8"} << QString() << "en";
    QTest::newRow("C keeps the texts") << QStringList{"", "", "C"} << QString() << "zh";
    QTest::newRow("POSIX keeps the texts") << QStringList{"", "", "POSIX"} << QString() << "zh";
    QTest::newRow("zh_CN keeps the texts")
        << QStringList{"", "", "zh_CN.UTF-8"} << QString() << "zh";
    QTest::newRow("LC_ALL=C outranks an English LANG")
        << QStringList{"C", "", "en_US.UTF-8"} << QString() << "zh";
    QTest::newRow("LC_MESSAGES=en_GB outranks a Chinese LANG")
        << QStringList{"", "en_GB.UTF-8", "zh_CN.UTF-8"} << QString() << "en";
    QTest::newRow("--lang zh outranks an English locale")
        << QStringList{"en_US.UTF-8", "", ""} << "zh"
        << "zh";
    QTest::newRow("--lang fr is refused") << QStringList{"", "", "C"} << "fr"
                                          << "error";
}

void LanguageTest::choice()
{
    QFETCH(QStringList, locale);
    QFETCH(QString, option);
    QFETCH(QString, chosen);
    const LocaleEnvironment environment(locale);
    const Result<UiLanguage> choice = chooseLanguage(option);
    if (chosen == QLatin1String("error")) {
        QVERIFY(!choice);
        QVERIFY(choice.error().contains(QLatin1String("zh or en")));
        return;
    }
    QVERIFY2(choice, qPrintable(choice.error()));
    QCOMPARE(*choice, chosen == QLatin1String("en") ? UiLanguage::English : UiLanguage::Original);
}

// Every text of the window's form and the drawing host's window, as the window program builds
// them under an English locale.
void LanguageTest::englishForm()
{
    const LocaleEnvironment environment({"", "", "en_US.UTF-8"});
    const UiTranslation translation(*chooseLanguage(QString()));
    QVERIFY(translation.loaded());
    TestWindow test(dir->path());
    HostWindow host;
    const QStringList texts = visibleTexts(test.window.get()) + visibleTexts(&host);
    for (const QString &text : texts)
        QVERIFY2(!hasCjk(text), qPrintable(text));
    PluginMWForm *f = test.window->controls();
    QCOMPARE(f->exitBtn->toolTip(), QString("Close"));
    QCOMPARE(f->horizontalMark->text(), QString("Horizontal marks"));
    QCOMPARE(f->useRJ45->text(), QString("Send by RJ45"));
}

void LanguageTest::messages_data()
{
    QTest::addColumn<QStringList>("locale"); // LC_ALL, LC_MESSAGES, LANG
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("boxes"); // "title|text" of each message box, in order

    const QStringList english{"", "", "en_US.UTF-8"};
    QTest::newRow("English: drawing program missing")
        << english << QString() << "unreachable"
        << QStringList{"Warning|Please make sure CorelDraw is installed and the right CorelDraw "
                       "version is chosen..."};
    QTest::newRow("English: stop asks to wait")
        << english << QString() << "stop"
        << QStringList{"Notice|Cutting stops when this sheet is done. Please wait..."};
    QTest::newRow("English: settings cannot be saved")
        << english << QString() << "unsaveable"
        << QStringList{"Warning|The settings could not be saved!"};
    QTest::newRow("English: send without marks")
        << english << QString() << "no marks"
        << QStringList{"Warning|No registration marks found. Please add the marks first!"};
    QTest::newRow("English: confirmation, then a bad address")
        << english << QString() << "bad address"
        << QStringList{"Ready to cut?|Please check that the cut shown is right.\nClick 'OK' to "
                       "start, or\nclick 'Cancel' to change the cut settings.",
                       "Warning|The IP address is not valid!"};
    QTest::newRow("C: stop notice as written")
        << QStringList{"", "", "C"} << QString() << "stop"
        << QStringList{"提示|将于本张切割结束后停止, 请等待..."};
    QTest::newRow("zh_CN: bad address as written")
        << QStringList{"", "", "zh_CN.UTF-8"} << QString() << "bad address"
        << QStringList{"都准备好了吗?|请确认显示的切割效果是正确的.\n点击 'OK' 开始,或者\n点击 "
                       "'Cancel' 调整切割参数.",
                       "警告|IP地址格式错误!"};
    QTest::newRow("--lang zh under an English locale: as written")
        << english << "zh"
        << "unreachable" << QStringList{"警告|请确认CorelDraw安装并选择正确的CorelDraw版本..."};
}

void LanguageTest::messages()
{
    QFETCH(QStringList, locale);
    QFETCH(QString, option);
    QFETCH(QString, action);
    const LocaleEnvironment environment(locale);
    const Result<UiLanguage> choice = chooseLanguage(option);
    QVERIFY(choice);
    const UiTranslation translation(*choice);
    if (action == QLatin1String("unsaveable"))
        QVERIFY(QDir().mkpath(DataPaths::inFolder(dir->path()).configPath));
    TestWindow test(dir->path());
    test.window->show();
    PluginMWForm *f = test.window->controls();
    BuiltinHost &host = BuiltinHost::instance();
    QPushButton *button = f->sendToCutter;
    if (action == QLatin1String("unreachable")) {
        host.setProgramIdAvailable(f->cdrVersion->currentText(), false);
        button = f->generateMark;
    } else if (action == QLatin1String("stop")) {
        QTest::mouseClick(f->configCenter, Qt::LeftButton);
        QTest::mouseClick(f->configCenter, Qt::LeftButton);
        button = f->stopBtn;
    } else if (action == QLatin1String("unsaveable")) {
        button = f->exitBtn;
    } else {
        const Result<HostDocument::Ptr> opened =
            host.openDocument(QStringLiteral(VX_TEST_DATA_DIR "/job/label-sheet.svg"));
        QVERIFY2(opened, qPrintable(opened.error()));
        if (action == QLatin1String("bad address")) {
            ModalWatcher none;
            QTest::mouseClick(f->generateMark, Qt::LeftButton);
            QVERIFY2(none.texts.isEmpty(), qPrintable(none.texts.join('\n')));
            // Never dialled: the address is refused before any connection is tried.
            f->ipAddress->setText(QStringLiteral("127.0.0.256"));
            QTest::mouseClick(f->configCenter, Qt::LeftButton);
            clickBox(f->useRJ45);
            QVERIFY(f->useRJ45->isChecked());
        }
    }
    ModalWatcher watcher;
    QTest::mouseClick(button, Qt::LeftButton);
    if (action == QLatin1String("stop")) // the stop notice is opened, not waited for
        QTRY_VERIFY_WITH_TIMEOUT(!watcher.titles.isEmpty(), 10000);
    QStringList boxes;
    // The file system's reason after a translated text is the system's own.
    for (int i = 0; i < watcher.titles.size(); ++i)
        boxes << watcher.titles.at(i) + QLatin1Char('|') +
                     watcher.texts.at(i).section(QLatin1String("\ncannot write "), 0, 0);
    QTEST(boxes, "boxes");
}

QTEST_MAIN(LanguageTest)
