#pragma once

#include <QString>

#include <optional>

namespace ambrel {

// Calendar servers' passwords in the desktop's keyring, never in a file. Tests put a keeper of their own in
// place, so that they never touch the real keyring.
class PasswordKeeper {
public:
    struct Read {
        std::optional<QString> password; // nothing when none is kept
        bool available = true; // whether there is a keyring at all
    };

    virtual ~PasswordKeeper() = default;
    virtual Read read(const QString &key) = 0;
    // False when the password could not be kept.
    virtual bool write(const QString &key, const QString &password) = 0;

    // The desktop's keyring, unless a test replaced it.
    static PasswordKeeper &instance();
    // Takes keeper's place for instance(); nullptr hands it back to the desktop's.
    static void setInstance(PasswordKeeper *keeper);
};

} // namespace ambrel
