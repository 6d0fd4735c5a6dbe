#pragma once

// Shared by the Qt tests of the application core: the child-process runner
// for the fatal paths, and where the built bundles are.

#include <QProcessEnvironment>
#include <QString>

namespace ambrel::test {

// Runs this test program again as a child that performs `scenario`
// (see AppGuiTests.cpp) in `workingDirectory`; returns its exit code and
// what its message handler printed.
struct ChildResult {
    int exitCode = -1;
    QString messages;
};
ChildResult RunChild(const QString& scenario, const QString& workingDirectory = {});

inline QString BundleDirectory() {
    return QStringLiteral(AMBREL_BUNDLE_DIR);
}

}  // namespace ambrel::test
