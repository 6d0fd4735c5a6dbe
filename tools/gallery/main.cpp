// ambrel-gallery: shows the skinned controls in each of their states with a
// language bundle (1033 unless --bundle names one), and with --screenshot
// FILE saves a picture of the window and exits.

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

#include "Gallery.h"
#include "ImageCache.h"
#include "ResourceBundle.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ambrel-gallery"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The skinned controls in each of their states."));
    parser.addHelpOption();
    QCommandLineOption bundleOption(QStringLiteral("bundle"),
                                    QStringLiteral("Language bundle to use (default: 1033.rcc, "
                                                   "looked up like the program does)."),
                                    QStringLiteral("PATH"));
    QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the gallery and exit."),
                                        QStringLiteral("FILE"));
    parser.addOption(bundleOption);
    parser.addOption(screenshotOption);
    parser.process(app);

    QTextStream err(stderr);
    QString bundle = parser.value(bundleOption);
    if (bundle.isEmpty())
        bundle = ambrel::LocateBundle(QStringLiteral("1033.rcc"));
    if (bundle.isEmpty() || !ambrel::LoadResourceBundle(bundle, 1033)) {
        err << "ambrel-gallery: no usable language bundle"
            << (bundle.isEmpty() ? QString() : QStringLiteral(" at ") + bundle) << "\n";
        return 1;
    }
    ambrel::CreateImageCache();

    int status = 0;
    {
        gallery::GalleryWindow window;
        gallery::BuildGallery(window);
        if (parser.isSet(screenshotOption)) {
            const QString file = parser.value(screenshotOption);
            if (!window.grab().save(file, "PNG")) {
                err << "ambrel-gallery: cannot write " << file << "\n";
                status = 1;
            }
        } else {
            window.show();
            status = QApplication::exec();
        }
    }
    ambrel::ReleaseImageCache();
    return status;
}
