// Start-up: the language bundle, the single-instance rule and the start-up
// sequence up to the main window with its failure paths.

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "AmbrelApp.h"
#include "AppSettings.h"
#include "GuiTestSupport.h"
#include "ImageCache.h"
#include "LanguageLibrary.h"
#include "ResourceBundle.h"
#include "SingleInstance.h"
#include "SystemMessage.h"

namespace ambrel {
namespace {

// Runs in a directory of its own; restores the current directory after.
class InDirectory {
public:
    InDirectory() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~InDirectory() { QDir::setCurrent(previous_); }
    QString Path() const { return dir_.path(); }
    void Write(const QString& name, const QByteArray& bytes) const {
        QFile file(dir_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Start-up with the main window replaced by a probe.
class ProbeApp : public CAmbrelApp {
public:
    using CAmbrelApp::CAmbrelApp;
    int windowRuns = 0;
    bool cacheDuringWindow = false;
    uint16_t languageDuringWindow = 0;

protected:
    int RunMainWindow() override {
        ++windowRuns;
        cacheDuringWindow = ImageCacheExists();
        languageDuringWindow = CurrentLanguageId();
        return 7;
    }
};

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private:
    QStringList messages_;

private slots:
    void init() {
        messages_.clear();
        SetSystemMessageHandler(
            [this](const QString&, const QString& text, MessageIcon) { messages_ << text; });
        ResetAppSettings();
    }
    void cleanup() {
        SetSystemMessageHandler(nullptr);
        ReleaseImageCache();
        ResetAppSettings();
    }

    void languageBundleByLowSixteenBits() {
        QVERIFY(LoadLanguageLibrary(2052));
        QCOMPARE(CurrentLanguageId(), uint16_t{2052});
        QCOMPARE(FindString(575), QStringLiteral("CN"));
        QVERIFY(LoadLanguageLibrary(1033 + 65536));
        QCOMPARE(CurrentLanguageId(), uint16_t{1033});
        QCOMPARE(FindString(575), QStringLiteral("EN"));
    }

    void missingOrBrokenBundleChangesNothing() {
        InDirectory dir;
        dir.Write(QStringLiteral("3082.rcc"), "not a resource file");
        QVERIFY(LoadLanguageLibrary(2052));
        QVERIFY(!LoadLanguageLibrary(4242));
        QVERIFY(!LoadLanguageLibrary(3082));
        QCOMPARE(CurrentLanguageId(), uint16_t{2052});
        QCOMPARE(FindString(575), QStringLiteral("CN"));
    }

    void currentDirectoryComesFirst() {
        InDirectory dir;
        QVERIFY(QFile::copy(test::BundleDirectory() + "/2052.rcc", dir.Path() + "/1033.rcc"));
        QVERIFY(LoadLanguageLibrary(1033));
        QCOMPARE(FindString(575), QStringLiteral("CN"));
        UnloadResourceBundle();
        UnloadResourceBundle();  // harmless twice
        QVERIFY(!FindString(575).has_value());
    }

    void languageZeroIsFatal() {
        test::ChildResult child = test::RunChild(QStringLiteral("language-zero"));
        QCOMPARE(child.exitCode, 1);
        QCOMPARE(child.messages,
                 QStringLiteral("[|Fatal error: Cannot find the specified resources!|1]\n"));
    }

    void startupRunsUpToTheMainWindow() {
        InDirectory dir;
        dir.Write(QStringLiteral("config.ini"), "");
        ProbeApp app(dir.Path());
        QCOMPARE(app.Run(), 7);
        QCOMPARE(app.windowRuns, 1);
        QVERIFY(app.cacheDuringWindow);
        QCOMPARE(app.languageDuringWindow, uint16_t{1033});
        QCOMPARE(QString::fromStdString(TheAppSettings().startupDirectory.string()),
                 QDir::currentPath());
        // Clean-up released the cache and the bundle.
        QVERIFY(!ImageCacheExists());
        QVERIFY(!ResourceBundleLoaded());
        QVERIFY(messages_.isEmpty());
    }

    void missingSettingsFileEndsWithCodeOne() {
        InDirectory dir;
        ProbeApp app(dir.Path());
        QCOMPARE(app.Run(), 1);
        QCOMPARE(app.windowRuns, 0);
        QCOMPARE(messages_, QStringList{QStringLiteral("can't find the configuration file!")});
    }

    void missingBundleFallsBackToEnglish() {
        InDirectory dir;
        dir.Write(QStringLiteral("config.ini"), "[GLOBAL]\nlangId=4242\n");
        ProbeApp app(dir.Path());
        QCOMPARE(app.Run(), 7);
        QCOMPARE(app.languageDuringWindow, uint16_t{1033});
    }

    void secondStartActivatesTheFirst() {
        QTemporaryDir runtime;
        SingleInstanceGuard first(QString::fromLatin1(kAmbrelInstanceName), runtime.path());
        QCOMPARE(first.Acquire(), SingleInstanceGuard::Role::Primary);
        QSignalSpy activations(&first, &SingleInstanceGuard::activationRequested);

        InDirectory dir;
        dir.Write(QStringLiteral("config.ini"), "");
        ProbeApp second(runtime.path());
        QCOMPARE(second.Run(), 0);
        QCOMPARE(second.windowRuns, 0);
        QVERIFY(activations.wait(5000));
        QCOMPARE(activations.count(), 1);
        QVERIFY(messages_.isEmpty());
    }
};

}  // namespace ambrel

QObject* MakeStartupTest() {
    return new ambrel::StartupTest;
}

#include "StartupTest.moc"
