#pragma once

// One running instance per user. The first start holds a lock file and
// listens on a local socket of the same name; a later start finds the lock
// taken, asks the first over the socket to show and activate its window and
// then ends (exit code 0). Both live in the user's runtime directory, so two
// users on one machine do not see each other.

#include <QObject>
#include <QString>
#include <memory>

class QLockFile;
class QLocalServer;

namespace ambrel {

inline constexpr char kAmbrelInstanceName[] = "ORVIK-AMBREL";

class SingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,    // this process is the instance; activation requests arrive as a signal
        Secondary,  // another instance runs and has been asked to come forward: exit 0
        Unguarded,  // the lock could not be checked (no writable directory): run anyway
    };

    // `directory` empty: the user's runtime directory.
    explicit SingleInstanceGuard(QString name, QString directory = {}, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    Role Acquire();

    QString SocketPath() const;

signals:
    // Another start asked this instance to restore, show and activate its
    // main window and its last active pop-up.
    void activationRequested();

private:
    void OnNewConnection();

    QString name_;
    QString directory_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace ambrel
