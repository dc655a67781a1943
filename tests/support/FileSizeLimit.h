#pragma once

#include <QString>

namespace ambrel::testing {

// While it lives, no file this process writes may grow beyond the given size: a write past it fails as
// on a full disk. Unlike a read-only folder, this also holds for a test run as root.
class FileSizeLimit final {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isActive() const { return m_active; }

private:
    bool m_active = false;
    unsigned long long m_previous = 0;
};

// A folder whose permissions forbid writing; false when this process may write there all the same (root).
bool makeReadOnlyFolder(const QString &folder);

} // namespace ambrel::testing
