// AmbrelUninstall: hands the removal of the installed package to the
// package manager and ends at once, whatever happens to the command.

#include "UninstallCommand.h"

int main() {
    ambrel::uninstall::StartDetached(ambrel::uninstall::RemovalCommand());
    return 0;
}
