// Runs the Qt tests of the application core. A child started by RunChild
// performs one fatal scenario instead and reports the messages it would
// have shown on standard output.

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <cstdio>

#include "GuiTestSupport.h"
#include "ImageCache.h"
#include "LanguageLibrary.h"
#include "ResourceBundle.h"
#include "SystemMessage.h"
#include "UiString.h"

QObject* MakeBundleTest();
QObject* MakeControlsTest();
QObject* MakeStartupTest();

namespace ambrel::test {

ChildResult RunChild(const QString& scenario, const QString& workingDirectory) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("AMBREL_TEST_SCENARIO"), scenario);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        child.setWorkingDirectory(workingDirectory);
    child.start(QCoreApplication::applicationFilePath(), {});
    child.waitForFinished(30000);
    return {child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1,
            QString::fromUtf8(child.readAllStandardOutput())};
}

}  // namespace ambrel::test

namespace {

// The fatal paths; each must end the process with exit code 1.
int RunScenario(const QString& scenario) {
    ambrel::SetSystemMessageHandler(
        [](const QString& caption, const QString& text, ambrel::MessageIcon icon) {
            std::printf("[%s|%s|%d]\n", qUtf8Printable(caption), qUtf8Printable(text),
                        static_cast<int>(icon));
            std::fflush(stdout);
        });
    const QString data = QStringLiteral(AMBREL_LANG_SOURCE_DIR);
    if (scenario == QLatin1String("language-zero")) {
        ambrel::LoadLanguageLibrary(65536);  // low 16 bits: 0
    } else if (scenario == QLatin1String("missing-string")) {
        ambrel::LoadResourceBundle(ambrel::test::BundleDirectory() + "/1033.rcc", 1033);
        ambrel::LoadUiString(99999);
    } else if (scenario == QLatin1String("missing-string-no-bundle")) {
        ambrel::LoadUiString(144);
    } else if (scenario == QLatin1String("missing-picture")) {
        ambrel::LoadResourceBundle(ambrel::test::BundleDirectory() + "/1033.rcc", 1033);
        ambrel::LoadPngResource(99999);
    } else if (scenario == QLatin1String("missing-picture-uncached")) {
        ambrel::LoadResourceBundle(ambrel::test::BundleDirectory() + "/1033.rcc", 1033);
        ambrel::LoadImageResource(99999);
    } else {
        return 3;
    }
    return 0;  // a fatal path that returned
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QString scenario = qEnvironmentVariable("AMBREL_TEST_SCENARIO");
    if (!scenario.isEmpty())
        return RunScenario(scenario);

    int failures = 0;
    for (QObject* test : {MakeBundleTest(), MakeControlsTest(), MakeStartupTest()}) {
        failures += QTest::qExec(test, argc, argv);
        delete test;
    }
    return failures == 0 ? 0 : 1;
}
