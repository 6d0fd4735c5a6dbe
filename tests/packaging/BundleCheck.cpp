// Loads one installed language bundle and checks that it is the language it
// claims to be: `bundle_check FILE LANGUAGE EXPECTED-575`.

#include <QCoreApplication>
#include <cstdio>

#include "ResourceBundle.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: bundle_check FILE LANGUAGE EXPECTED\n");
        return 2;
    }
    const auto language = static_cast<uint16_t>(QString::fromLocal8Bit(argv[2]).toUInt());
    if (!ambrel::LoadResourceBundle(QString::fromLocal8Bit(argv[1]), language)) {
        std::fprintf(stderr, "bundle_check: %s does not load\n", argv[1]);
        return 1;
    }
    const auto style = ambrel::FindString(575);
    if (!style || *style != QString::fromLocal8Bit(argv[3])) {
        std::fprintf(stderr, "bundle_check: %s: string 575 is \"%s\", not \"%s\"\n", argv[1],
                     style ? qUtf8Printable(*style) : "(missing)", argv[3]);
        return 1;
    }
    std::printf("%s: loads, language %u\n", argv[1], language);
    return 0;
}
