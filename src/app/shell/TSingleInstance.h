#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

class IDialogs;

// One running Brevilo per user: a lock file in the user's runtime folder takes the place
// of a named mutex. The lock is held while this object lives. A lock left behind by a
// process that no longer runs (a crash, a kill) is recognised and taken over; a lock is
// never considered stale only because it is old.
class TSingleInstance {
  public:
    // The lock file the program uses: "Brvlo2Mutex.lock" in the runtime folder
    // ($XDG_RUNTIME_DIR), or in the temporary folder when there is none.
    static QString DefaultLockPath();

    explicit TSingleInstance(const QString& lockPath);

    // Takes the lock; false only when another running process holds it (a lock file that
    // cannot be written at all lets the program run).
    bool TryAcquire();

    // TryAcquire, and when another instance runs, the message box "This application is
    // already running" (caption "Error", error icon). Returns whether this process may go on.
    bool AcquireOrTell(IDialogs& dialogs);

    const QString& LockPath() const { return lockPath_; }

  private:
    QString lockPath_;
    std::unique_ptr<QLockFile> lock_;
};
