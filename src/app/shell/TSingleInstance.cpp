#include "shell/TSingleInstance.h"

#include <QDir>
#include <QStandardPaths>

#include "shell/IDialogs.h"

QString TSingleInstance::DefaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/Brvlo2Mutex.lock");
}

TSingleInstance::TSingleInstance(const QString& lockPath)
    : lockPath_(lockPath), lock_(std::make_unique<QLockFile>(lockPath)) {
    // Age alone never makes a lock stale: a Brevilo that has run for days still holds it.
    // A lock whose process is gone is still recovered (QLockFile checks the process).
    lock_->setStaleLockTime(0);
}

bool TSingleInstance::TryAcquire() {
    if (lock_->isLocked())
        return true;
    if (lock_->tryLock(0))
        return true;
    // Only a lock that another process holds stops the program; a runtime folder that
    // cannot take the lock file must not keep the user from working.
    return lock_->error() != QLockFile::LockFailedError;
}

bool TSingleInstance::AcquireOrTell(IDialogs& dialogs) {
    if (TryAcquire())
        return true;
    dialogs.Message(nullptr, QStringLiteral("This application is already running"),
                    QStringLiteral("Error"), QMessageBox::Critical, QMessageBox::Ok);
    return false;
}
